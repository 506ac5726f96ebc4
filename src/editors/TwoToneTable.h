#pragma once
// The radio's sixteen sequential two-tone entries and the model of the two
// grids `vsfgGridTwoTone`(0) and (1) that edit them (module `modTwoTone`).
//
// Entry n (0..15) is the 8-byte record at 0x0280 + 8n:
//   0-1  tone A frequency in 0.1 Hz, low byte first (0xFFFF none)
//   2    tone A duration in 0.1 s (0xFF none)
//   3-4  tone B frequency, 5 tone B duration
//   6    pause between the tones in 0.1 s (0xFF none)
//   7    0x5A when the entry is in use, 0xFF when empty
// Grid g = n / 8 shows entry n in its row n % 8 (plus the header row). The
// model keeps the texts of columns 1..5 of every entry (frequencies in Hz,
// durations and pause in seconds), fills them from the image with the
// refresh, and after every finished cell edit validates all sixteen entries
// and writes them back.
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <array>

#include "data/UndoHistory.h"

namespace zr {

class ByteArray;
class ErrorLog;

constexpr int kTwoToneBase = 0x0280;
constexpr int kTwoToneEntries = 16;
constexpr int kTwoToneRecordSize = 8;
constexpr int kTwoToneRowsPerGrid = 8;
constexpr int kTwoToneInUse = 0x5A;

// Grid columns; column 0 is the entry number, 1..5 are the model's cells.
enum TwoToneColumn : int {
  kTtNumber = 0,
  kTtFreqA = 1,
  kTtTimeA = 2,
  kTtFreqB = 3,
  kTtTimeB = 4,
  kTtPause = 5,
};
constexpr int kTwoToneColumns = 6;

// The six column headers of a language (1, 2, 3; others as 3), from the
// "|"-separated header text of that language.
QStringList twoToneHeaders(int lang);
// The in-cell pick lists: durations "0.3" ... "9.7", "10.0"; pause "0.0" ... "2.0".
const QStringList& twoToneDurations();
const QStringList& twoTonePauses();

// The texts of columns 1..5 of one entry.
using TwoToneCells = std::array<QString, 5>;

// The "two_tone" array of `zr417-cli show --json`: per entry the texts of
// columns 1..5 as the refresh shows them (entries outside the image empty).
QJsonArray twoToneJson(const ByteArray& image);

class TwoToneTable {
 public:
  TwoToneTable(ByteArray& image, ErrorLog& log);

  // Told before every edit of the user (none: edits are not recorded).
  UndoHistory* history = nullptr;

  // The refresh of the grids, part of the settings refresh: each entry in use
  // shows its tones; a duration above 10.0 s under a shown frequency is
  // replaced by 1.0 s and a pause above 2.0 s by 0.5 s, in the image. A
  // failure propagates to the refresh, which logs it.
  void refresh();
  // The texts of the image as it is, writing no repair (after raw edits).
  void redraw();
  // Only the image repairs of the refresh (for the settings refresh, which
  // runs before any grid exists).
  static void repairImage(ByteArray& image);

  // Text of column 1..5 of entry 0..15 (index failure otherwise).
  const QString& cell(int entry, int column) const;
  // An in-cell edit ends: frequency columns take any text (trimmed), the
  // other columns an entry of their pick list or nothing. Returns false, with
  // nothing changed, for a text a column does not take or a cell outside the
  // table; otherwise the cell takes the text and the table is validated and
  // written back (`vsfgGridTwoTone_Event40`).
  bool edit(int entry, int column, const QString& text);
  // Validates both grids and writes all sixteen entries: frequencies are
  // clamped to 350.0-3000.0 Hz (a text that is no number becomes 1500.0),
  // a missing duration under a frequency becomes 0.3 s, the pause is kept
  // only when both tones are set. The first failure ends it silently; bytes
  // already written stay.
  void validate();

  QJsonArray json() const;

 private:
  QString& at(int entry, int column);
  void validateEntry(int n);

  ByteArray& image_;
  ErrorLog& log_;
  std::array<TwoToneCells, kTwoToneEntries> cells_{};
};

}  // namespace zr
