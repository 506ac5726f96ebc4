#pragma once
// One radio of a dealer's batch: what became of it, as the station shows it
// on a result line, as a JSON object and as a row of the CSV log. The per-port
// worker (the command line's single-radio write) reports the same object as
// one JSON line, so both ends of that pipe share this file.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "link/LinkFailure.h"

namespace zr {

enum class BatchOutcome {
  Ok,             // written (and verified, when asked)
  VerifyFailed,   // the radio took every block but reads back other bytes
  PartlyWritten,  // the radio acknowledged some blocks, then the write failed
  Failed,         // nothing written: the port, an unsupported radio, the file ...
  NoRadio,        // the port opened but nothing answered the handshake
};

// "ok", "verify-failed", "partly-written", "failed", "no-radio".
QString outcomeWord(BatchOutcome o);
std::optional<BatchOutcome> outcomeFromWord(const QString& word);

struct RadioResult {
  QString port;
  int round = 0;
  BatchOutcome result = BatchOutcome::Failed;
  QString cause;        // empty on success
  double seconds = 0;   // wall time of the radio's write, backup and verify included
  int modelCode = -1;   // radio byte 0x03D4 from its information block; -1 unknown
  QString ident;        // radio bytes 0x0388-0x038A as six hex digits; empty unknown
  QString radioId;      // the Radio ID given to this radio; empty without numbering
  QStringList backups;  // copies kept of this radio (before-write, write ...)
  // The transfer's own reason (kind None on success): where it stopped and,
  // for a write, the blocks the radio acknowledged of those it was to take.
  LinkFailure failure;

  bool ok() const { return result == BatchOutcome::Ok; }

  // The keys of the batch's JSON lines (port and round included); the
  // failure is the object under "failure" (null on success):
  //   {"kind":"stopped-answering","block":31,"address":480,
  //    "blocks_acknowledged":30,"blocks_total":512,"last_address":479}
  // (addresses are radio addresses, null when none).
  QJsonObject toJson() const;
  // Reads what toJson wrote; a missing or malformed key keeps its default.
  static RadioResult fromJson(const QJsonObject& o);
  // PORT ROUND RESULT SECONDS [id=DDDDDD] [CAUSE]
  QString line() const;
  // One row of the log, in the columns of csvHeader().
  QString csvRow(const QDateTime& when) const;
};

QString batchCsvHeader();

// Why radios cannot take a Radio ID in a write, as a sentence for the user;
// empty when they can. The ID lives in 0x03E9-0x03EB, which the radio keeps
// against ordinary writes: only the models that take the special blocks get
// it. For one radio, its model bytes as read from it (0x03D3, 0x03D4):
QString radioIdRefusal(int modelCode, uint8_t modelFlags);
// For a data file (the bytes of a 1040-byte file): the model bytes of the
// radio it was read from. Empty too when the file does not say (New leaves
// them erased, 0xFF): then every radio is asked itself.
QString radioIdRefusalForFile(const QByteArray& fileBytes, const QString& fileName);

// A Radio ID is six digits 1 to 9: each digit is one list of the radio's
// settings, and a list offers "Off" and 1 to 9, so 0 has no place.
bool isRadioId(const QString& text);
// The next number that a Radio ID can hold: 111119 is followed by 111121.
// Empty after 999999.
QString nextRadioId(const QString& id);

}  // namespace zr
