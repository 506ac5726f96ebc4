#pragma once
// Channel table interchange as CSV: a header row "Channel,Rx,Tx,Decode,Encode"
// followed by the captions of the option columns, one row per channel with
// frequencies in MHz (five decimals, empty for none) and option texts.
// Import enters every cell through the channel grid's own rules, exactly as
// typing would.
#include <QString>
#include <QStringList>
#include <vector>

#include "editors/GridEntry.h"

namespace zr {

class ChannelGrid;
struct Editors;

// RFC 4180 fields: commas, quotes and line breaks inside quotes. Blank lines
// give no row; `firstLines` (optional) receives the 1-based line of the file
// each row starts on, so messages can name the line the user sees.
// A field that export guarded against spreadsheet formulas (see csvText)
// comes back without its leading apostrophe.
std::vector<QStringList> parseCsv(const QString& text, std::vector<int>* firstLines = nullptr);
QString csvLine(const QStringList& fields);
// A free-text cell (an option text, a caption, a name) as it may be exported:
// a spreadsheet runs a cell beginning with =, +, - or @ as a formula, so such
// a text, unless it is a plain number, gets a leading apostrophe, which
// spreadsheets show as text and parseCsv takes off again.
QString csvText(const QString& text);

QString exportChannelsCsv(Editors& e);

// Applies the rows to the grid. Returns false (with the reason in `problems`)
// when the header does not name the channel columns; otherwise true, with
// every rejected or adjusted cell listed in `problems` with its cause.
// Option texts match without regard to case.
bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems);

}  // namespace zr
