// A configuration file from anywhere: the private-profile reader, the whole
// start-up over it (every key of section "Setting" and the channel column
// definitions of every language), the port numbering of section "Ports", and
// one key written back. Checks that the arrays the start-up sizes from the file
// stay consistent and within their limits, that the grid follows the column
// definitions, and that writing one key changes only that key.

#include "FuzzSupport.h"

#include <QFile>
#include <unistd.h>

#include "editors/ChInfoReader.h"
#include "link/PortMap.h"
#include "shell/StartupSteps.h"
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

// Everything the start-up leaves in a core and its editors that an input can
// decide (the image, the channel table, the column definitions, the grid, the
// band lists, the settings pages, the settings, the log) and what it asked.
ZR_NO_COVERAGE void digestStarted(Digest& d, const Core& c, const Editors& e, const ScriptedPrompts& prompts) {
  if (!d.on()) return;
  d.add(c.image.TempArray.bytes());
  d.add(c.image.DefTempArray.bytes());
  d.add(c.image.CurFilePath);
  for (int row = 0; row < ChannelTable::kRows; ++row)
    for (int ch = 1; ch <= ChannelTable::kChannels; ++ch) d.add(static_cast<long long>(c.ChTable.get(row, ch)));
  for (int ch = 1; ch <= ChannelTable::kChannels; ++ch) {
    d.add(c.ChTable.decodeTone(ch));
    d.add(c.ChTable.encodeTone(ch));
  }
  for (const QString& line : c.log.lines()) d.add(line);
  for (int v : {c.log.counter(), c.log.selected(), int(c.log.isLoaded()), c.log.reportCount(), c.log.lastCode()})
    d.add(static_cast<long long>(v));
  for (const QString* t : {&c.log.lastTag(), &c.log.lastDetail(), &c.log.currentDescription()}) d.add(*t);
  const AppSettings& s = c.settings;
  for (int v : {c.CurLang, c.text.language(), s.ComPort, s.VolumeMode, s.TableMaxAddr, s.ReadStartAddr,
                s.ReadEndAddr, s.WriteStartAddr, s.WriteEndAddr, int(s.LeaveNoAsk), int(s.Leaving),
                int(s.autoInputOpen)})
    d.add(static_cast<long long>(v));
  for (const QString* t : {&s.EngFont, &s.ChsFont, &s.SoftFont, &s.OverColor, &s.DefColor, &s.TableMaxAddrText,
                           &s.ReadStartAddrText, &s.ReadEndAddrText, &s.WriteStartAddrText, &s.WriteEndAddrText,
                           &s.LockState})
    d.add(*t);
  for (const QString& t : c.tones.CtdcsList()) d.add(t);

  const ChColumnDefs& cols = c.columns;
  for (int v : {cols.channelCount, cols.rowHeight, cols.columnCount}) d.add(static_cast<long long>(v));
  d.add(cols.headerFormat);
  for (int w : cols.widths) d.add(static_cast<long long>(w));
  for (const QStringList& list : cols.items) {
    d.add(static_cast<long long>(list.size()));
    for (const QString& t : list) d.add(t);
  }
  d.add(static_cast<long long>(c.history.modified()));

  const ChannelGrid& g = e.grid;
  for (int v : {g.rowCount(), g.columnCount(), g.cursorRow(), g.cursorCol(), g.highlightedRow(),
                int(g.pickerVisible()), g.pickerRow(), g.pickerCol()})
    d.add(static_cast<long long>(v));
  d.add(g.pickerText());
  for (int r = 0; r < g.rowCount(); ++r)
    for (int col = 0; col < g.columnCount(); ++col) {
      d.add(g.text(r, col));
      d.add(static_cast<long long>(g.colour(r, col)));
    }
  const BandModel& b = e.band;
  for (int v : {b.BandMin, b.BandMax, b.modelPosition(), b.rangePosition()}) d.add(static_cast<long long>(v));
  for (const QStringList* list : {&b.modelTexts(), &b.rangeTexts()}) {
    d.add(static_cast<long long>(list->size()));
    for (const QString& t : *list) d.add(t);
  }
  d.add(b.mstrFreMin);
  d.add(b.mstrFreMax);
  for (const FieldDef& f : e.settings.fields()) {
    const FieldState* st = e.settings.state(f.name);
    if (!st) continue;
    d.add(static_cast<long long>(st->entries.size()));
    for (const QString& t : st->entries) d.add(t);
    for (int v : {st->position, int(st->checked), int(st->enabled)}) d.add(static_cast<long long>(v));
    d.add(st->text);
    d.add(st->toolTip);
  }
  for (const QStringList* list : {&prompts.asked, &prompts.messages, &prompts.titles}) {
    d.add(static_cast<long long>(list->size()));
    for (const QString& t : *list) d.add(t);
  }
}

// The checks of one input over a core its start-up has just run on, and what
// it made of the input.
uint64_t checkStarted(Core& c, Editors& e, const ScriptedPrompts& prompts, const QString& path) {
  // The image is created once from "DatNum", both arrays alike.
  const auto datNum = toInt16(c.setting(QStringLiteral("DatNum"), QStringLiteral("0"), 9));
  ZR_CHECK(c.image.TempArray.size() == c.image.DefTempArray.size());
  ZR_CHECK(c.image.TempArray.size() <= 32768);
  if (datNum) ZR_CHECK(c.image.TempArray.size() == std::max(*datNum + 1, 0));

  // The grid and the codec follow the column definitions.
  checkColumns(c.columns);
  ZR_CHECK(e.grid.rowCount() == c.columns.channelCount + 1);
  ZR_CHECK(e.grid.columnCount() == c.columns.columnCount + 1);
  for (int ch = 1; ch <= c.columns.channelCount; ++ch) {
    const int rx = c.ChTable.get(kRowRx, ch);
    ZR_CHECK(rx == -1 || rx >= 0);
  }
  // The reads below see one version of the file, looked at once (a write
  // of a key drops it, and the next read looks again).
  const PrivateProfile::Snapshot snapshot(c.ini);
  for (int lang : {kLangChs, kLangCht, kLangEng}) checkColumns(ReadChInfo(c.ini, lang, c.log));

  // Port numbering: pinned devices, then the detected ones in their order.
  PortMap ports([] {
    return std::vector<SerialDevice>{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("cable"), QString(), true},
                                     {QStringLiteral("/dev/ttyS0"), QString(), QString(), false},
                                     {QStringLiteral("/dev/ttyS10"), QString(), QString(), false}};
  }, &c.ini);
  for (int n = 1; n <= PortMap::kPortCount; ++n) {
    const QString dev = ports.devicePath(n);
    if (dev.isEmpty()) continue;
    const int number = ports.numberOf(dev);
    ZR_CHECK(number >= 1 && number <= PortMap::kPortCount);
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
  digestStarted(d, c, e, prompts);
  d.add(readFile(path));
  for (int n = 1; n <= PortMap::kPortCount; ++n) d.add(ports.devicePath(n));
  return d.value();
}

// A core and its editors over the fuzzed configuration file, built as the
// CLI builds them (questions answered No, a fixed clock in the log).
struct CoreAndEditors {
  explicit CoreAndEditors(const QString& path)
      : core(programDir(), path, prompts, QStringLiteral("zr417-fuzz")), editors(core) {
    core.log.setClockText([] { return QStringLiteral("fuzz"); });
  }
  ScriptedPrompts prompts;
  Core core;
  Editors editors;
};

const QString& configPath() {
  static const QString path = programPath(QStringLiteral("fuzz.def"));
  return path;
}

// One for the whole run: each input runs the start-up on it again (building
// them cost more than the start-up itself).
CoreAndEditors& reused() {
  static CoreAndEditors* r = new CoreAndEditors(configPath());
  return *r;
}

// The input on the reused core.
uint64_t onReused(const uint8_t* data, size_t size) {
  CoreAndEditors& r = reused();
  writeFile(configPath(), data, size);
  // What the last input's start-up asked is not this one's.
  r.prompts.asked.clear();
  r.prompts.messages.clear();
  r.prompts.titles.clear();
  startHeadlessAgain(r.editors);
  const uint64_t result = checkStarted(r.core, r.editors, r.prompts, configPath());

  // What the input built is let go before it ends, and the same few things
  // are built in its place whatever the input was: libFuzzer takes an input
  // that leaves more allocations than it frees for a possible leak and runs
  // it again with a leak scan (each a great deal slower than the input).
  resetForStart(r.editors);
  r.editors.grid.SetChGrid();  // the grid of the fallback definitions
  // The file's parsed keys go with the file: a read of a missing file lets
  // go of what was parsed from it.
  ::unlink(QFile::encodeName(configPath()).constData());
  (void)r.core.setting(QStringLiteral("DatNum"), QString(), 9);
  return result;
}

// The input on a core and editors built for it alone, started as a new
// program starts them: what the reused ones must match.
uint64_t onFresh(const uint8_t* data, size_t size) {
  writeFile(configPath(), data, size);
  CoreAndEditors fresh(configPath());
  startHeadless(fresh.editors);
  return checkStarted(fresh.core, fresh.editors, fresh.prompts, configPath());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return -1;
  // The replay of each input twice runs it on the reused core and then on a
  // fresh one: anything an earlier input left behind in the reused core shows
  // as a difference.
  bool fresh = false;
  sameTwice([&] {
    const uint64_t v = fresh ? onFresh(data, size) : onReused(data, size);
    fresh = true;
    return v;
  });
  return 0;
}
