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

// What a finished write (or the read before it) means for the radio: the
// outcome, the transfer's own reason (with the blocks the radio acknowledged
// of a write) and what the radio told about itself.
RadioResult radioResultOf(const Transfer& transfer, bool ok, const QString& port);

}  // namespace zr::cli
