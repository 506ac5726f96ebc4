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

// RFC 4180 fields: commas, quotes and line breaks inside quotes.
std::vector<QStringList> parseCsv(const QString& text);
QString csvLine(const QStringList& fields);

QString exportChannelsCsv(Editors& e);

// Applies the rows to the grid. Returns false (with the reason in `problems`)
// when the header does not name the channel columns; otherwise true, with
// every rejected or adjusted cell listed in `problems` with its cause.
// Option texts match without regard to case.
bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems);

}  // namespace zr
