#pragma once
// A dealer's batch station: one data file written into one radio on each of
// several ports at the same time, round after round. Every port runs the
// command line's unchanged single-radio write as a process of its own
// (`zr417-cli write --json`), so a crash or a hang on one cable cannot stop
// the others, and the waits of one port never stall another. The station
// reads each worker's JSON lines, gives out Radio IDs, keeps the CSV log and
// tells its front end (the CLI's `batch`, the desktop's batch window) what
// happens through signals.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "link/BatchResult.h"

namespace zr {

struct BatchJob {
  QString workerProgram;     // zr417-cli
  QString configPath;        // handed to every worker (--config); empty: the worker's default
  QString dataFile;
  QStringList ports;         // device paths or port numbers 1..16, in the order named
  bool verify = false;
  bool backupBefore = false;
  bool force = false;        // write a file that is not a data file
  QString radioIdFrom;       // first Radio ID; empty: the radios keep the file's
  QString logPath;           // CSV log; empty: none
};

class BatchStation : public QObject {
  Q_OBJECT
 public:
  // A worker that prints nothing for this long is taken for hung and ended.
  static constexpr int kSilenceLimitMs = 120000;

  explicit BatchStation(BatchJob job, QObject* parent = nullptr);
  ~BatchStation() override;

  const BatchJob& job() const { return job_; }
  // Checks that the log can be appended to (writing its header when it is
  // new). Returns why not, empty when it can or when there is no log.
  QString openLog();
  // Starts a round over every port. False (nothing started) while a round
  // runs, or when the Radio IDs ran out.
  bool startRound();
  bool running() const { return active_ > 0; }
  int round() const { return round_; }
  // The Radio ID the next radio gets; empty without numbering or after 999999.
  const QString& nextId() const { return nextId_; }
  // Every radio of every round so far, in the order they finished.
  const std::vector<RadioResult>& results() const { return results_; }
  bool allOk() const;
  // Why the last log row could not be written; empty when every row was.
  const QString& logProblem() const { return logProblem_; }
  // Ends every running worker (the window closes, the program leaves, the
  // CLI is interrupted). Each radio still being written gets its result and
  // log row, saying it was ended because `why` ("the program was closed").
  void stopAll(const QString& why = QString());
  // The ports whose worker still runs, as named in the job.
  QStringList busyPorts() const;

 signals:
  // A port's worker moved on: `stage` "backup" or "write", 0..100.
  void progress(int portIndex, const QString& stage, int percent);
  // A port's radio is done (its log row is written by then).
  void radioDone(int portIndex, const zr::RadioResult& result);
  void roundFinished(int round);

 private:
  struct Worker;
  void startWorker(int index, const QString& radioId);
  void readLines(Worker& w);
  void workerEnded(Worker& w);
  void appendLog(const RadioResult& r);

  BatchJob job_;
  int round_ = 0;
  int active_ = 0;
  QString nextId_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::vector<RadioResult> results_;
  QString logProblem_;
  QString stopReason_;
};

}  // namespace zr
