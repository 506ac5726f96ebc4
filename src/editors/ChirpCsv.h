#pragma once
// The channel list in the generic CSV format of CHIRP, the programming tool
// many radio users keep their channel lists in, both ways.
//
// Our channel -> CHIRP row: Location = channel number, Frequency = receive
// frequency, Duplex/Offset = the transmit frequency ("" when equal, "+"/"-"
// with the difference, "split" with the transmit frequency, "off" for none),
// Tone/rToneFreq/cToneFreq/DtcsCode/DtcsPolarity/RxDtcsCode/CrossMode = the
// encode (transmit) and decode (receive) tones, Mode = FM (wide) or NFM
// (narrow), Skip = "S" when the channel is not scanned, Power = the power
// option's text. Names are left empty: the radio holds none.
//
// Import reads the same columns by their header names, enters every value
// through the channel grid's rules (GridEntry) and reports per cell what it
// could not hold or had to adjust. Locations past the channel count are
// reported and skipped.
#include <QString>
#include <QStringList>
#include <vector>

#include "editors/GridEntry.h"

namespace zr {

struct Editors;

// The columns of the format's header, in its order.
const QStringList& chirpCsvHeader();
// Whether a CSV header row is the format's (it names Location and Frequency).
bool isChirpCsvHeader(const QStringList& header);

QString exportChirpCsv(Editors& e);
// Returns false (with the reason in `problems`) when the header is not the
// format's; otherwise true, with every rejected or adjusted cell listed.
bool importChirpCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems);

}  // namespace zr
