// A configuration file from anywhere: the private-profile reader, the whole
// start-up over it (every key of section "Setting" and the channel column
// definitions of every language), the port numbering of section "Ports", and
// one key written back. Checks that the arrays the start-up sizes from the file
// stay consistent and within their limits, that the grid follows the column
// definitions, and that writing one key changes only that key.

#include "FuzzSupport.h"
#include "editors/ChInfoReader.h"
#include "link/PortMap.h"
#include "base/VbText.h"

using namespace zr;
using namespace zr::fuzz;

namespace {

// Keys whose values must survive the write of another key.
const char* const kWatched[][2] = {
    {"Setting", "DatNum"},     {"Setting", "COM"},        {"Setting", "TableMaxAddr"},
    {"Setting", "Language"},   {"Setting", "ChannelLock"}, {"ChInfo", "3000"},
    {"ChInfo", "3002"},        {"ChInfo", "3003"},         {"Ports", "COM1"},
};

void checkColumns(const ChColumnDefs& d) {
  ZR_CHECK(d.channelCount >= 1 && d.channelCount <= ChColumnDefs::kMaxChannels);
  ZR_CHECK(d.columnCount >= 1 && d.columnCount <= ChColumnDefs::kMaxColumns);
  for (int j = -1; j <= d.columnCount + 1; ++j) {
    (void)d.key(j);
    (void)d.defaultValue(j);
    (void)d.optionCount(j);
    for (int v = -1; v <= ChColumnDefs::kMaxItems; v += 17) (void)d.optionText(j, v);
  }
  (void)d.captions();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

// One input from a fresh state; returns what the start-up made of it.
static uint64_t once(const uint8_t* data, size_t size) {
  const QString path = programPath(QStringLiteral("fuzz.def"));
  writeFile(path, data, size);
  // The file is rewritten in place for every input, often to the same size
  // within one tick of the file clock: the profile reader sees that it
  // changed all the same (it compares the bytes of a recently changed file),
  // which the replay of each input twice checks.
  Session s(path);
  Core& c = *s.core;

  // The image is created once from "DatNum", both arrays alike.
  const auto datNum = toInt16(c.setting(QStringLiteral("DatNum"), QStringLiteral("0"), 9));
  ZR_CHECK(c.image.TempArray.size() == c.image.DefTempArray.size());
  ZR_CHECK(c.image.TempArray.size() <= 32768);
  if (datNum) ZR_CHECK(c.image.TempArray.size() == std::max(*datNum + 1, 0));

  // The grid and the codec follow the column definitions.
  checkColumns(c.columns);
  ZR_CHECK(s.editors->grid.rowCount() == c.columns.channelCount + 1);
  ZR_CHECK(s.editors->grid.columnCount() == c.columns.columnCount + 1);
  for (int ch = 1; ch <= c.columns.channelCount; ++ch) {
    const int rx = c.ChTable.get(kRowRx, ch);
    ZR_CHECK(rx == -1 || rx >= 0);
  }
  for (int lang : {kLangChs, kLangCht, kLangEng}) checkColumns(ReadChInfo(c.ini, lang, c.log));

  // Port numbering: pinned devices, then the detected ones in their order.
  PortMap ports([] {
    return std::vector<SerialDevice>{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("cable"), QString(), true},
                                     {QStringLiteral("/dev/ttyS0"), QString(), QString(), false},
                                     {QStringLiteral("/dev/ttyS10"), QString(), QString(), false}};
  }, &c.ini);
  for (int n = 1; n <= PortMap::kPortCount; ++n) {
    const QString dev = ports.devicePath(n);
    if (!dev.isEmpty()) ZR_CHECK(ports.numberOf(dev) >= 1 && ports.numberOf(dev) <= PortMap::kPortCount);
  }
  ZR_CHECK(ports.devicePath(0).isEmpty() && ports.devicePath(PortMap::kPortCount + 1).isEmpty());
  const int given = ports.assign(QStringLiteral("/dev/pts/77"));
  ZR_CHECK(given >= 0 && given <= PortMap::kPortCount);
  if (given) ZR_CHECK(ports.devicePath(given) == QStringLiteral("/dev/pts/77"));

  // Writing one key changes that key only.
  QString watched[std::size(kWatched)];
  for (size_t k = 0; k < std::size(kWatched); ++k)
    watched[k] = c.ini.GetString(QString::fromLatin1(kWatched[k][0]), QString::fromLatin1(kWatched[k][1]),
                                 QStringLiteral("<none>"), 255);
  if (c.ini.WriteString(QStringLiteral("Setting"), QStringLiteral("FirRun"), QStringLiteral("0"))) {
    ZR_CHECK(c.ini.GetString(QStringLiteral("Setting"), QStringLiteral("FirRun"), QString(), 9) == QStringLiteral("0"));
    for (size_t k = 0; k < std::size(kWatched); ++k)
      ZR_CHECK(c.ini.GetString(QString::fromLatin1(kWatched[k][0]), QString::fromLatin1(kWatched[k][1]),
                               QStringLiteral("<none>"), 255) == watched[k]);
  }
  Digest d;
  s.digest(d);
  d.add(readFile(path));
  for (int n = 1; n <= PortMap::kPortCount; ++n) d.add(ports.devicePath(n));
  return d.value();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return -1;
  sameTwice([&] { return once(data, size); });
  return 0;
}
