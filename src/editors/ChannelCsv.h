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
// `delimiter` separates the fields: ',' or the ';' and tab of spreadsheets
// set to a language with a decimal comma (see csvDelimiter). A byte order
// mark before the first field is not part of it.
std::vector<QStringList> parseCsv(const QString& text, std::vector<int>* firstLines = nullptr, QChar delimiter = u',');
// The field delimiter of a CSV text, recognised from its first line: a tab
// when it has one, else ';' when it has more of them than commas, else ','.
QChar csvDelimiter(const QString& text);
QString csvLine(const QStringList& fields);
// A free-text cell (an option text, a caption, a name) as it may be exported:
// a spreadsheet runs a cell beginning with =, +, - or @ as a formula, so such
// a text, unless it is a plain number, gets a leading apostrophe, which
// spreadsheets show as text and parseCsv takes off again.
QString csvText(const QString& text);

QString exportChannelsCsv(Editors& e);

// Applies the rows to the grid. The header names the columns by caption, in
// any order and any subset that has Channel and Rx, as a paste does; a column
// left out keeps the channel's value (or a new channel's default), an unknown
// caption is reported and its column left out. Comma, semicolon and tab
// files are recognised from the header, and frequencies may have a decimal
// comma. Returns false (with the reason in `problems`) when the header lacks
// Channel or Rx; otherwise true, with every rejected or adjusted cell listed
// in `problems` with its cause. Option texts and captions match without
// regard to case.
bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems);

}  // namespace zr
