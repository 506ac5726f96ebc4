#include "link/BatchStation.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <algorithm>

namespace zr {

namespace {
// A write's bar shows 3 % after the handshake and its acknowledgement, and
// more only once the radio has acknowledged a data block.
constexpr int kFirstBlockPercent = 4;
}  // namespace

struct BatchStation::Worker {
  int index = 0;
  QString port;
  QString radioId;
  QProcess process;
  QTimer silence;
  QElapsedTimer clock;
  QByteArray pending;
  QString lastError;  // the worker's last line on stderr, for a worker that ended without a result
  bool hasResult = false;
  bool hung = false;
  int writePercent = 0;  // the last progress of the write stage (backup and read-back not counted)
  bool ended = false;
  RadioResult result;
};

BatchStation::BatchStation(BatchJob job, QObject* parent) : QObject(parent), job_(std::move(job)) {
  nextId_ = job_.radioIdFrom;
}

BatchStation::~BatchStation() {
  // Nothing is reported from a station that is going away.
  for (auto& w : workers_) {
    w->process.disconnect(this);
    w->silence.disconnect(this);
  }
  stopAll();
}

QString BatchStation::openLog() {
  if (job_.logPath.isEmpty()) return {};
  QFile f(job_.logPath);
  const bool fresh = !f.exists() || f.size() == 0;
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
    return QStringLiteral("cannot write the log %1: %2").arg(job_.logPath, f.errorString());
  if (fresh && f.write((batchCsvHeader() + u'\n').toUtf8()) < 0)
    return QStringLiteral("cannot write the log %1: %2").arg(job_.logPath, f.errorString());
  return {};
}

bool BatchStation::startRound() {
  if (running()) return false;
  if (!job_.radioIdFrom.isEmpty() && nextId_.isEmpty()) return false;
  stopReason_.clear();
  ++round_;
  workers_.clear();
  for (int i = 0; i < job_.ports.size(); ++i) {
    QString id;
    if (!job_.radioIdFrom.isEmpty()) {
      // A number given out stays given out, whatever becomes of the radio:
      // the log says which number went where.
      id = nextId_;
      nextId_ = nextRadioId(nextId_);
    }
    startWorker(i, id);
  }
  return true;
}

void BatchStation::startWorker(int index, const QString& radioId) {
  auto owned = std::make_unique<Worker>();
  Worker& w = *owned;
  workers_.push_back(std::move(owned));
  w.index = index;
  w.port = job_.ports[index];
  w.radioId = radioId;
  w.result.port = w.port;
  w.result.round = round_;
  w.result.radioId = radioId;

  QStringList args;
  if (!job_.configPath.isEmpty()) args << QStringLiteral("--config") << job_.configPath;
  args << QStringLiteral("write") << QStringLiteral("--json") << QStringLiteral("--port") << w.port;
  if (job_.verify) args << QStringLiteral("--verify");
  if (job_.backupBefore) args << QStringLiteral("--backup-before");
  if (job_.force) args << QStringLiteral("--force");
  if (!radioId.isEmpty()) args << QStringLiteral("--radio-id") << radioId;
  args << QStringLiteral("--") << job_.dataFile;

  // A worker that falls silent for too long is ended, so that a stuck cable
  // cannot hold the round for ever.
  w.silence.setSingleShot(true);
  w.silence.setInterval(kSilenceLimitMs);
  connect(&w.silence, &QTimer::timeout, this, [this, &w] {
    w.hung = true;
    w.process.kill();
  });
  connect(&w.process, &QProcess::readyReadStandardOutput, this, [this, &w] {
    w.silence.start();
    readLines(w);
  });
  connect(&w.process, &QProcess::readyReadStandardError, this, [&w] {
    w.silence.start();
    const QStringList lines = QString::fromUtf8(w.process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) w.lastError = lines.last().trimmed();
  });
  connect(&w.process, &QProcess::finished, this, [this, &w] { workerEnded(w); });
  connect(&w.process, &QProcess::errorOccurred, this, [this, &w](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) {
      w.lastError = QStringLiteral("cannot start %1: %2").arg(job_.workerProgram, w.process.errorString());
      workerEnded(w);
    }
  });
  ++active_;
  w.clock.start();
  w.silence.start();
  emit progress(index, QStringLiteral("write"), 0);
  w.process.start(job_.workerProgram, args);
}

void BatchStation::readLines(Worker& w) {
  w.pending += w.process.readAllStandardOutput();
  int eol;
  while ((eol = static_cast<int>(w.pending.indexOf('\n'))) >= 0) {
    const QByteArray line = w.pending.left(eol);
    w.pending.remove(0, eol + 1);
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    const QString event = o.value(QStringLiteral("event")).toString();
    if (event == QLatin1String("progress")) {
      const QString stage = o.value(QStringLiteral("stage")).toString();
      const int percent = o.value(QStringLiteral("percent")).toInt();
      if (stage == QLatin1String("write")) w.writePercent = std::max(w.writePercent, percent);
      emit progress(w.index, stage, percent);
    } else if (event == QLatin1String("result")) {
      RadioResult r = RadioResult::fromJson(o);
      // The station names the port and round as the user gave them.
      r.port = w.port;
      r.round = round_;
      r.radioId = w.radioId;
      w.result = r;
      w.hasResult = true;
    }
  }
}

void BatchStation::workerEnded(Worker& w) {
  if (w.ended) return;
  w.ended = true;
  w.silence.stop();
  readLines(w);
  const double seconds = static_cast<double>(w.clock.elapsed()) / 1000.0;
  RadioResult r = w.result;
  if (!w.hasResult) {
    // The worker died before it could say what became of the radio: the
    // radio may hold anything, so it counts as failed, never as fine.
    r.result = BatchOutcome::Failed;
    if (!stopReason_.isEmpty() && w.writePercent >= kFirstBlockPercent) {
      // The bar passes its first block mark only after the radio took a
      // block: the radio holds part of the new configuration.
      r.result = BatchOutcome::PartlyWritten;
      r.cause = QStringLiteral("The write was ended at %1 % because %2; the radio was partly written: write it "
                               "again before using it.")
                    .arg(w.writePercent)
                    .arg(stopReason_);
    } else if (!stopReason_.isEmpty())
      r.cause = QStringLiteral("The write was ended before the radio took any block because %1.").arg(stopReason_);
    else if (w.hung)
      r.cause = QStringLiteral("the write on %1 stopped reporting for %2 s and was ended")
                    .arg(w.port)
                    .arg(kSilenceLimitMs / 1000);
    else if (w.process.exitStatus() == QProcess::CrashExit)
      r.cause = QStringLiteral("the write on %1 crashed").arg(w.port);
    else
      r.cause = w.lastError.isEmpty() ? QStringLiteral("the write on %1 ended without a result").arg(w.port)
                                      : w.lastError;
    r.seconds = seconds;
  } else if (r.ok() && w.process.exitCode() != 0) {
    // A result that says ok from a worker that failed is not believed.
    r.result = BatchOutcome::Failed;
    r.cause = QStringLiteral("the write on %1 ended with exit code %2").arg(w.port).arg(w.process.exitCode());
  }
  results_.push_back(r);
  appendLog(r);
  emit radioDone(w.index, r);
  if (--active_ == 0) emit roundFinished(round_);
}

void BatchStation::appendLog(const RadioResult& r) {
  if (job_.logPath.isEmpty()) return;
  QFile f(job_.logPath);
  const bool fresh = !f.exists() || f.size() == 0;
  QByteArray row;
  if (fresh) row += (batchCsvHeader() + u'\n').toUtf8();
  row += (r.csvRow(QDateTime::currentDateTime()) + u'\n').toUtf8();
  // Opened, written and closed per radio: a crash of the station loses no row.
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(row) != row.size() || !f.flush()) {
    logProblem_ = QStringLiteral("cannot write the log %1: %2").arg(job_.logPath, f.errorString());
    return;
  }
  f.close();
}

bool BatchStation::allOk() const {
  for (const RadioResult& r : results_)
    if (!r.ok()) return false;
  return logProblem_.isEmpty();
}

QStringList BatchStation::busyPorts() const {
  QStringList busy;
  for (const auto& w : workers_)
    if (!w->ended) busy << w->port;
  return busy;
}

void BatchStation::stopAll(const QString& why) {
  stopReason_ = why.isEmpty() ? QStringLiteral("the batch was stopped") : why;
  for (auto& w : workers_) {
    if (w->process.state() == QProcess::NotRunning) continue;
    w->process.kill();
    w->process.waitForFinished(5000);
  }
}

}  // namespace zr
