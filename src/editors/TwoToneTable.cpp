#include "editors/TwoToneTable.h"

#include <cmath>
#include <functional>

#include "data/ByteArray.h"
#include "base/ErrorLog.h"
#include "base/RunError.h"
#include "base/TextTable.h"

namespace zr {

namespace {

// Offsets inside an entry's record.
constexpr int kFreqAOffset = 0;
constexpr int kTimeAOffset = 2;
constexpr int kFreqBOffset = 3;
constexpr int kTimeBOffset = 5;
constexpr int kPauseOffset = 6;
constexpr int kMarkerOffset = 7;
constexpr int kNone = 0xFF;
constexpr int kEmptyEntry = 0xFF;

// Frequencies in 0.1 Hz. The refresh shows a wider range than an edit
// accepts: a stored value between the two shows as stored and is clamped at
// the next validation.
constexpr int kShownFreqMin = 2885;
constexpr int kShownFreqMax = 31060;
constexpr int kEditFreqMin = 3500;
constexpr int kEditFreqMax = 30000;
const QString kEditFreqMinText = QStringLiteral("350");
const QString kEditFreqMaxText = QStringLiteral("3000");
const QString kNotANumberText = QStringLiteral("1500.0");
constexpr double kNotANumberHz = 1500.0;

// Durations and pause in 0.1 s: what the refresh accepts, and what it writes
// instead of a longer stored value.
constexpr int kDurationMax = 100;
constexpr int kDurationRepair = 10;
constexpr int kPauseMax = 20;
constexpr int kPauseRepair = 5;
const QString kMissingTimeText = QStringLiteral("0.3");

// Column headers by language, "|"-separated (module `modTwoTone`).
const QString kHeaderTexts[] = {
    QStringLiteral("序号|A音频率|A音时间|B音频率|B音时间|间隔时间"),
    QStringLiteral("序號|A音頻率|A音時間|B音頻率|B音時間|間隔時間"),
    QStringLiteral("No.|A Fre|A Time|B Fre|B Time|Interval"),
};

int recordBase(int entry) {
  if (entry < 0 || entry >= kTwoToneEntries) throwSubscript("two-tone entry", entry, 0, kTwoToneEntries - 1);
  return kTwoToneBase + kTwoToneRecordSize * entry;
}

// v / 10 with one decimal ("0.0" format; values are never negative).
QString tenths(int v) { return QStringLiteral("%1.%2").arg(v / 10).arg(v % 10); }

// A cell's number, or false when the text is none.
bool cellNumber(const QString& text, double& value) {
  bool ok = false;
  value = text.trimmed().toDouble(&ok);
  return ok && std::isfinite(value);
}

// Tenths of a duration or pause cell, as the byte that stores it (halves
// round to even, as for the frequencies).
int cellTenths(const QString& text) {
  double x = 0;
  if (!cellNumber(text, x)) throw RunError(kErrTypeMismatch, QStringLiteral("two-tone time \"%1\"").arg(text));
  const double v = std::nearbyint(x * 10);
  if (v < 0 || v > 255) throw RunError(kErrOverflow, QStringLiteral("two-tone time \"%1\"").arg(text));
  return static_cast<int>(v);
}

QStringList tenthsList(int first, int last) {
  QStringList out;
  for (int v = first; v <= last; ++v) out << tenths(v);
  return out;
}

using RepairSink = std::function<void(int addr, int value)>;

// The cells of entry n as the refresh shows them; `repair` receives each
// byte the refresh replaces (the shown text already uses the replacement).
TwoToneCells shownEntry(const ByteArray& image, int n, const RepairSink& repair) {
  const int a = recordBase(n);
  TwoToneCells c;
  if (image.at(a + kMarkerOffset) != kTwoToneInUse) return c;
  const auto frequency = [&](int offset) {
    const int f = image.word(a + offset);
    return f >= kShownFreqMin && f <= kShownFreqMax ? tenths(f) : QString();
  };
  const auto time = [&](int offset, int max, int replacement) {
    int b = image.at(a + offset);
    if (b > max) {
      b = replacement;
      if (repair) repair(a + offset, b);
    }
    return tenths(b);
  };
  c[kTtFreqA - 1] = frequency(kFreqAOffset);
  c[kTtFreqB - 1] = frequency(kFreqBOffset);
  if (!c[kTtFreqA - 1].isEmpty()) c[kTtTimeA - 1] = time(kTimeAOffset, kDurationMax, kDurationRepair);
  if (!c[kTtFreqB - 1].isEmpty()) c[kTtTimeB - 1] = time(kTimeBOffset, kDurationMax, kDurationRepair);
  if (!c[kTtFreqA - 1].isEmpty() && !c[kTtFreqB - 1].isEmpty()) c[kTtPause - 1] = time(kPauseOffset, kPauseMax, kPauseRepair);
  return c;
}

QJsonArray cellsJson(const TwoToneCells& c) {
  QJsonArray row;
  for (const QString& t : c) row.append(t);
  return row;
}

}  // namespace

QStringList twoToneHeaders(int lang) {
  const int i = lang >= kLangChs && lang <= kLangEng ? lang - 1 : kLangEng - 1;
  return kHeaderTexts[i].split(u'|');
}

const QStringList& twoToneDurations() {
  static const QStringList list = tenthsList(3, 97) << tenths(100);  // 0.3 ... 9.7, 10.0
  return list;
}

const QStringList& twoTonePauses() {
  static const QStringList list = tenthsList(0, 19) << tenths(20);  // 0.0 ... 1.9, 2.0
  return list;
}

QJsonArray twoToneJson(const ByteArray& image) {
  QJsonArray out;
  for (int n = 0; n < kTwoToneEntries; ++n) {
    TwoToneCells c;
    silently([&] { c = shownEntry(image, n, {}); });  // an entry beyond the image shows empty
    out.append(cellsJson(c));
  }
  return out;
}

TwoToneTable::TwoToneTable(ByteArray& image, ErrorLog& log) : image_(image), log_(log) {}

void TwoToneTable::repairImage(ByteArray& image) {
  for (int n = 0; n < kTwoToneEntries; ++n) shownEntry(image, n, [&](int a, int v) { image.set(a, v); });
}

void TwoToneTable::refresh() {
  for (int n = 0; n < kTwoToneEntries; ++n)
    cells_[static_cast<size_t>(n)] = shownEntry(image_, n, [&](int a, int v) { image_.set(a, v); });
}

void TwoToneTable::redraw() {
  for (int n = 0; n < kTwoToneEntries; ++n)
    cells_[static_cast<size_t>(n)] = shownEntry(image_, n, [](int, int) {});
}

const QString& TwoToneTable::cell(int entry, int column) const {
  if (entry < 0 || entry >= kTwoToneEntries) throwSubscript("two-tone entry", entry, 0, kTwoToneEntries - 1);
  if (column < kTtFreqA || column > kTtPause) throwSubscript("two-tone column", column, kTtFreqA, kTtPause);
  return cells_[static_cast<size_t>(entry)][static_cast<size_t>(column - 1)];
}

QString& TwoToneTable::at(int entry, int column) { return const_cast<QString&>(std::as_const(*this).cell(entry, column)); }

bool TwoToneTable::edit(int entry, int column, const QString& text) {
  bool taken = false;
  if (history) history->aboutToChange();
  guarded(log_, "frmChMem->vsfgGridTwoTone_Event40", [&] {
    QString& c = at(entry, column);
    QString t = text.trimmed();
    if (column == kTtTimeA || column == kTtTimeB || column == kTtPause) {
      const QStringList& list = column == kTtPause ? twoTonePauses() : twoToneDurations();
      if (!t.isEmpty() && !list.contains(t)) return;
    }
    c = t;
    taken = true;
  });
  if (taken) validate();
  return taken;
}

void TwoToneTable::validate() {
  silently([&] {
    for (int n = 0; n < kTwoToneEntries; ++n) validateEntry(n);
  });
}

void TwoToneTable::validateEntry(int n) {
  const int a = recordBase(n);
  const auto frequency = [&](int column, int offset) {
    QString& t = at(n, column);
    if (t.isEmpty()) {
      image_.setWord(a + offset, 0xFFFF);
      return;
    }
    double hz = 0;
    if (!cellNumber(t, hz)) {
      t = kNotANumberText;
      hz = kNotANumberHz;
    }
    double v = std::nearbyint(hz * 10);
    if (v < kEditFreqMin) {
      t = kEditFreqMinText;
      v = kEditFreqMin;
    } else if (v > kEditFreqMax) {
      t = kEditFreqMaxText;
      v = kEditFreqMax;
    }
    image_.setWord(a + offset, static_cast<int>(v));
  };
  const auto duration = [&](int freqColumn, int column, int offset) {
    QString& t = at(n, column);
    if (at(n, freqColumn).isEmpty()) {
      t.clear();
      image_.set(a + offset, kNone);
      return;
    }
    if (t.isEmpty()) t = kMissingTimeText;
    image_.set(a + offset, cellTenths(t));
  };

  frequency(kTtFreqA, kFreqAOffset);
  frequency(kTtFreqB, kFreqBOffset);
  duration(kTtFreqA, kTtTimeA, kTimeAOffset);
  duration(kTtFreqB, kTtTimeB, kTimeBOffset);

  const bool toneA = !at(n, kTtFreqA).isEmpty();
  const bool toneB = !at(n, kTtFreqB).isEmpty();
  QString& pause = at(n, kTtPause);
  if (toneA || toneB) {
    image_.set(a + kMarkerOffset, kTwoToneInUse);
    if (toneA && toneB) {
      if (pause.isEmpty()) pause = kMissingTimeText;
      image_.set(a + kPauseOffset, cellTenths(pause));
    } else {
      pause.clear();
      image_.set(a + kPauseOffset, kNone);
    }
  } else {
    // An empty entry keeps its pause byte.
    image_.set(a + kMarkerOffset, kEmptyEntry);
    pause.clear();
  }
}

QJsonArray TwoToneTable::json() const {
  QJsonArray out;
  for (const TwoToneCells& c : cells_) out.append(cellsJson(c));
  return out;
}

}  // namespace zr
