#pragma once
// `write --json`: the single-radio write as the batch station's worker. It
// reports on stdout, one JSON object a line, its progress
//   {"event":"progress","stage":"backup"|"write","percent":40}
// and at its end exactly one result
//   {"event":"result","result":"ok",...}  (the keys of RadioResult::toJson)
// so that the station never has to read the human messages on stderr.
#include <QElapsedTimer>
#include <QString>

#include "link/BatchResult.h"
#include "link/LinkFailure.h"
#include "link/Transfer.h"

namespace zr::cli {

class WorkerReport {
 public:
  explicit WorkerReport(bool on);
  bool on() const { return on_; }
  // Follows a transfer's progress under the name of a stage.
  void follow(Transfer& transfer, const QString& stage);
  // The result line; the seconds are counted from the construction.
  void finish(RadioResult r);

 private:
  bool on_;
  QElapsedTimer clock_;
  QString stage_;
  int shown_ = -1;
};

// The blocks of a write the radio acknowledged, followed from the transfer's
// progress: every script up to the last one whose success moved the bar has
// been answered with 0x06.
class AcknowledgedBlocks {
 public:
  explicit AcknowledgedBlocks(Transfer& transfer);
  // The failure of a write that did not finish, with how far the radio got.
  LinkFailure failure() const;

 private:
  Transfer& transfer_;
  int lastStep_ = 0;
  int shown_ = 0;
};

// The reason of a failed transfer as far as the transfer tells it today:
// nothing answered, the port would not open, or the radio stopped answering.
LinkFailure failureOf(const Transfer& transfer, const QString& device);

// What a finished write (or the read before it) means for the radio: the
// outcome, its cause and what the radio told about itself. `failure` is the
// reason of a failed transfer (ignored when `ok`).
RadioResult radioResultOf(const Transfer& transfer, bool ok, const QString& port, const LinkFailure& failure);

}  // namespace zr::cli
