#include "editors/ImageDiff.h"

#include <QJsonArray>
#include <algorithm>

#include "data/DataFileCheck.h"
#include "data/MemoryImage.h"
#include "editors/Editors.h"
#include "editors/GridColumns.h"
#include "editors/PttIdPause.h"
#include "editors/TwoToneTable.h"

namespace zr {

namespace {

constexpr int kDecodedEnd = 0x0400;  // nothing at or above this address is shown

// Loads image addresses 0..size-1 into the image (the rest keeps the
// default image) and refreshes the editors from it, as a load does.
void show(Editors& e, const std::vector<uint8_t>& image) {
  Core& c = e.core;
  ByteArray& t = c.image.TempArray;
  for (int a = 0; a <= t.upperBound(); ++a) t.set(a, c.image.DefTempArray.at(a));
  std::vector<uint8_t> part(image.begin(), image.begin() + std::min<size_t>(image.size(), t.bytes().size()));
  loadRaw(t, part);
  c.files.SoftDisplay();
}

bool sameValue(const ShownValue& x, const ShownValue& y) {
  return x.group == y.group && x.number == y.number && x.field == y.field;
}

}  // namespace

std::vector<uint8_t> imageOfFile(const std::vector<uint8_t>& file, bool* isDataFile) {
  const bool data = dataFileProblem(file).isEmpty();
  if (isDataFile) *isDataFile = data;
  if (!data) return file;
  // The data file layout: image 0x0010-0x03FF lies 16 bytes higher in the file.
  std::vector<uint8_t> image(kDecodedEnd);
  for (int a = 0; a < kDecodedEnd; ++a) image[static_cast<size_t>(a)] = file[static_cast<size_t>(a < 0x10 ? a : a + 16)];
  return image;
}

ImageView captureView(Editors& e) {
  const Core& c = e.core;
  ImageView v;
  const BandModel& band = e.band;
  v.push_back({QStringLiteral("model"), 0, QStringLiteral("model"), band.modelTexts().value(band.modelPosition())});
  v.push_back({QStringLiteral("band"), 0, QStringLiteral("band"),
               QStringLiteral("%1 (%2 - %3)")
                   .arg(band.rangeText(band.rangePosition()), ChannelGrid::mhzText(band.BandMin),
                        ChannelGrid::mhzText(band.BandMax))});

  const QStringList captions = c.columns.captions();
  auto caption = [&](int j, const char* fallback) {
    const QString t = j < captions.size() ? captions[j].trimmed() : QString();
    return t.isEmpty() || t == QStringLiteral("0") ? QString::fromLatin1(fallback) : t;
  };
  const int n = std::min(c.columns.channelCount, ChannelTable::kChannels);
  for (int ch = 1; ch <= n; ++ch) {
    const int rx = c.ChTable.get(kRowRx, ch);
    const int tx = c.ChTable.get(kRowTx, ch);
    const bool empty = rx == -1;
    auto add = [&](const QString& field, const QString& text) {
      v.push_back({QStringLiteral("channel"), ch, field, text});
    };
    add(caption(1, "Rx"), ChannelGrid::mhzText(rx));
    add(caption(2, "Tx"), empty ? QString() : ChannelGrid::mhzText(tx));
    add(caption(3, "Decode"), empty ? QString() : c.ChTable.decodeTone(ch));
    add(caption(4, "Encode"), empty || tx == -1 ? QString() : c.ChTable.encodeTone(ch));
    for (int j = kColFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j)
      add(caption(j, "Option"), empty ? QString() : c.columns.optionText(j, c.ChTable.get(j, ch)));
  }

  const SettingsMap& map = e.settings;
  for (const FieldDef& d : map.fields()) {
    if (d.widget == Widget::Button) continue;
    const FieldState* st = map.state(d.name);
    if (!st) continue;
    QString shown;
    switch (d.widget) {
      case Widget::List: shown = st->entries.value(st->position); break;
      case Widget::Check: shown = st->checked ? QStringLiteral("on") : QStringLiteral("off"); break;
      default: shown = st->text; break;
    }
    v.push_back({QStringLiteral("setting"), 0, d.name, shown});
  }

  const QJsonArray twoTone = twoToneJson(c.image.TempArray);
  for (int k = 0; k < twoTone.size(); ++k) {
    QStringList cells;
    for (const auto& cell : twoTone[k].toArray()) cells << cell.toString();
    v.push_back({QStringLiteral("two-tone"), k + 1, QStringLiteral("entry"), cells.join(QStringLiteral(" | "))});
  }
  const QJsonArray pause = pttIdPauseJson(c.image.TempArray);
  for (int k = 0; k < pause.size(); ++k)
    v.push_back({QStringLiteral("ptt-id-pause"), k + 1, QStringLiteral("channel"),
                 pause[k].toBool() ? QStringLiteral("on") : QStringLiteral("off")});
  return v;
}

ImageDifferences diffImages(Editors& e, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  ImageDifferences out;
  const size_t common = std::min(a.size(), b.size());

  show(e, a);
  const ImageView viewA = captureView(e);
  show(e, b);
  const ImageView viewB = captureView(e);
  for (size_t k = 0; k < viewA.size() && k < viewB.size(); ++k) {
    if (!sameValue(viewA[k], viewB[k])) continue;  // both views list the same values in the same order
    if (viewA[k].text != viewB[k].text)
      out.fields.push_back({viewA[k].group, viewA[k].number, viewA[k].field, viewA[k].text, viewB[k].text});
  }

  // A differing byte that changes nothing shown when it alone changes.
  std::vector<uint8_t> probe(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common));
  for (size_t addr = 0; addr < common; ++addr) {
    if (a[addr] == b[addr]) continue;
    bool explained = false;
    if (addr < static_cast<size_t>(kDecodedEnd)) {
      probe[addr] = b[addr];
      show(e, probe);
      const ImageView changed = captureView(e);
      probe[addr] = a[addr];
      explained = changed.size() != viewA.size();
      for (size_t k = 0; !explained && k < changed.size(); ++k) explained = changed[k].text != viewA[k].text;
    }
    if (!explained) out.bytes.push_back({static_cast<int>(addr), a[addr], b[addr]});
  }
  show(e, b);
  return out;
}

}  // namespace zr
