#pragma once
// Entering channel cells from a file as typing them into the channel grid
// would, and saying for each cell what the grid made of it: snapped to the
// 250 Hz raster, kept inside the band, read by character position, too many
// characters, not a tone, read as a DCS code, not an option. Both CSV
// formats import through this, so both report the same causes.
#include <QString>
#include <QStringList>
#include <vector>

#include "data/UndoHistory.h"

namespace zr {

struct Editors;

// What the grid made of a frequency typed as `typedText` and stored as
// `stored` (10 Hz units): read by character position, snapped to the raster,
// kept inside the band ("146.52000 MHz is outside the band, kept as
// 400.00000 MHz"), too many characters. Empty when it was taken as typed.
QString frequencyEntryNote(const QString& typedText, int stored);
// What the tone picker made of a tone typed as `entry` when it stores
// `stored` ("\"023i\" read as the DCS code D023I"); empty when it is the same
// tone ("67" is 67.0).
QString toneEntryNote(const QString& entry, const QString& stored);

struct CsvProblem {
  int line = 0;     // 1-based line of the file (the header is line 1)
  QString column;   // the header's name of the column
  QString message;
};

// A whole import is one undo step, as a paste is: one Undo takes back the
// file, not its last cell.
class GridEntry {
 public:
  GridEntry(Editors& e, std::vector<CsvProblem>& problems);

  // The line whose cells follow (for the reports).
  void setLine(int line) { line_ = line; }
  void report(const QString& column, const QString& message);

  bool channelEmpty(int ch) const;
  bool hasTx(int ch) const;

  // Types the text into the receive (column 1) or transmit (column 2) cell.
  // An empty text empties a transmit cell; an empty receive cell is left
  // alone. Returns false when the text was rejected.
  bool typeFrequency(int ch, int col, const QString& text, const QString& column);
  // Enters an exact frequency (10 Hz units, -1 for none), as the grid would
  // store it: snapped to the raster and kept inside the band, with reports.
  bool enterFrequency(int ch, int col, long long value, const QString& column);

  // Commits a tone text through the tone picker of column 3 (decode, which
  // also sets the encode tone) or 4 (encode).
  bool typeTone(int ch, int col, const QString& text, const QString& column);

  // Chooses an option of column col by its text, without regard to case.
  bool chooseOption(int ch, int col, const QString& text, const QString& column);
  // The option column whose texts include all of `texts` (without regard to
  // case), or whose caption is `caption`; 0 when there is none.
  int findOptionColumn(const QStringList& texts, const QString& caption = {}) const;
  // The option index of `text` in column col, -1 when it has none.
  int optionIndex(int col, const QString& text) const;

 private:
  Editors& e_;
  std::vector<CsvProblem>& problems_;
  UndoHistory::Group step_;
  int line_ = 0;
};

}  // namespace zr
