// A data file from anywhere: Open (every decoder and every repair of the
// refresh after load), then the channel encoder and Save, then Open and Save
// of what was saved. Checks that the image keeps its size, that no index ever
// reaches outside an array, that the saved file has the data file layout, that
// valid channel records come back byte for byte, and that a saved file opens
// and saves again unchanged.
#include <QFile>

#include "FuzzSupport.h"
#include "data/MemoryImage.h"
#include "editors/PttIdPause.h"
#include "editors/TwoToneTable.h"
#include "editors/VolumeTable.h"

using namespace zr;
using namespace zr::fuzz;

namespace {

bool bcd(uint8_t b) { return (b & 0x0F) <= 9 && (b >> 4) <= 9; }

// Four bytes of a frequency, least significant first, that decode to an
// 8-digit frequency (100.00000 to 999.99999 MHz) and so encode back unchanged.
bool eightDigitFrequency(const uint8_t* f) {
  return bcd(f[0]) && bcd(f[1]) && bcd(f[2]) && bcd(f[3]) && f[3] >= 0x10;
}

// The option bits of a record after a decode and encode: bit pairs holding
// both bits come back as neither; every other bit is kept.
uint8_t pairsCleared(uint8_t b, const int* lowBits, int count) {
  for (int k = 0; k < count; ++k) {
    const uint8_t pair = static_cast<uint8_t>(3u << lowBits[k]);
    if ((b & pair) == pair) b = static_cast<uint8_t>(b & ~pair);
  }
  return b;
}

std::vector<uint8_t> openAndSave(Session& s, const QString& in, const QString& out) {
  ZR_CHECK(s.core->files.OpenFile(in));
  s.core->image.CurFilePath = out;
  QFile::remove(out);
  ZR_CHECK(s.core->files.SaveDatFile());
  return readFile(out);
}

// One input from a fresh state; returns what it produced.
uint64_t once(const QString& in, const QString& out, const QString& again, const uint8_t* data, size_t size) {
  Session& s = sharedSession();
  Session::RestartAfter reset(s);
  const int imageSize = s.image().size();
  const ByteArray defaults = s.core->image.DefTempArray;
  const int before = reportsWithCode(s.core->log, kErrSubscript);

  const std::vector<uint8_t> saved = openAndSave(s, in, out);
  ZR_CHECK(s.image().size() == imageSize);
  ZR_CHECK(s.core->image.DefTempArray == defaults);
  ZR_CHECK(reportsWithCode(s.core->log, kErrSubscript) == before);

  // The data file layout.
  ZR_CHECK(saved.size() == static_cast<size_t>(kDataFileSize));
  ZR_CHECK(std::equal(kDataSignature.begin(), kDataSignature.end(), saved.begin()));
  for (int k = 0; k < 6; ++k) ZR_CHECK(s.image().at(k) == kDataSignature[static_cast<size_t>(k)]);
  for (int k = 0x10; k < 0x20; ++k) ZR_CHECK(saved[static_cast<size_t>(k)] == 0xFF);
  for (int a = 0x10; a < kImageSpan; ++a) ZR_CHECK(saved[static_cast<size_t>(a + 16)] == s.image().at(a));
  // The refresh writes the model signature whenever its first byte is not M.
  ZR_CHECK(saved[kModelSignatureAddr + 16] == kModelSignature[0]);

  // Channel records the file holds completely and the codec can represent
  // come back as they were.
  const int channels = std::min(s.core->columns.channelCount, 16);
  for (int i = 1; i <= channels; ++i) {
    const size_t at = 0x20 + 16 * static_cast<size_t>(i - 1);
    if (at + 16 > size) break;
    const uint8_t* r = data + at;
    const uint8_t* w = saved.data() + at;
    if (!eightDigitFrequency(r)) continue;
    ZR_CHECK(std::equal(r, r + 4, w));
    const bool noTx = r[4] == 0xFF && r[5] == 0xFF && r[6] == 0xFF && r[7] == 0xFF;
    if (noTx || eightDigitFrequency(r + 4)) ZR_CHECK(std::equal(r + 4, r + 8, w + 4));
    static const int kPairs12[] = {1, 3, 5};
    ZR_CHECK(w[12] == pairsCleared(r[12], kPairs12, 3));
    ZR_CHECK(w[13] == r[13]);
    ZR_CHECK(w[14] == r[14]);
    ZR_CHECK(w[15] == r[15]);
  }

  // Encoding after decoding is stable: what was saved opens and saves again
  // to the same bytes.
  const std::vector<uint8_t> resaved = openAndSave(s, out, again);
  ZR_CHECK(resaved == saved);

  // The dialogs that decode further bytes of the image when they open.
  guarded(s.core->log, "fuzz->dialogs", [&] {
    TwoToneTable(s.image(), s.core->log).redraw();
    VolumeTable(*s.core).open();
    PttIdPauseSet(s.image(), s.core->log).PttIdPauseChSet();
  });
  ZR_CHECK(s.image().size() == imageSize);
  ZR_CHECK(reportsWithCode(s.core->log, kErrSubscript) == before);
  Digest d;
  d.add(saved);
  d.add(resaved);
  s.digest(d);
  return d.value();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString in = programPath(QStringLiteral("Data/in.dat"));
  const QString out = programPath(QStringLiteral("Data/out.dat"));
  const QString again = programPath(QStringLiteral("Data/again.dat"));
  writeFile(in, data, size);
  sameTwice([&] { return once(in, out, again, data, size); });
  return 0;
}
