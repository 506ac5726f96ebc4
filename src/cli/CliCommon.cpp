#include "shell/StartupSteps.h"
#include "cli/CliCommon.h"

#include <QTextStream>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "data/DataFileCheck.h"
#include "data/DataFiles.h"
#include "base/TextIds.h"

namespace zr::cli {

void printErr(const QString& text) {
  const QByteArray b = (text + u'\n').toUtf8();
  std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
  std::fflush(stderr);
}

namespace {
int firstOutputErrno = 0;
}

void printOut(const QString& text) {
  const QByteArray b = (text + u'\n').toUtf8();
  if (std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout) != static_cast<size_t>(b.size()) &&
      firstOutputErrno == 0)
    firstOutputErrno = errno;
}

int outputErrno() { return firstOutputErrno; }

void printSaveFailure(const Session& s, const QString& command, const QString& path) {
  // The save keeps its cause ("x.dat: Permission denied").
  QString cause = s.core->files.lastSaveFailure();
  if (cause.isEmpty()) cause = s.core->log.lastDetail();
  printErr(QStringLiteral("zr417-cli %1: %2 %3").arg(command, s.core->text.SoftFace(kTxtSaveAsFailed),
                                                     cause.isEmpty() ? path : cause));
}

namespace {
// Why `path` is not a data file; empty for a data file or an unreadable file.
QString nonDataProblem(const QString& path) {
  try {
    return dataFileProblem(readFileBytes(path, kMaxInputBytes));
  } catch (const RunError&) {
    return {};
  }
}
}  // namespace

std::optional<int> refuseNonDataFile(const QString& command, const QString& path, bool force) {
  if (force) return std::nullopt;
  const QString problem = nonDataProblem(path);
  if (problem.isEmpty()) return std::nullopt;
  printErr(QStringLiteral("zr417-cli %1: %2 is not a data file: %3; nothing was written (--force rewrites it as one)")
               .arg(command, path, problem));
  return kExitFailed;
}

void warnNonDataFile(const QString& command, const QString& path) {
  const QString problem = nonDataProblem(path);
  if (!problem.isEmpty())
    printErr(QStringLiteral("zr417-cli %1: warning: %2 is not a data file (%3); opened as Open opens it")
                 .arg(command, path, problem));
}

SaveLock::~SaveLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::optional<int> SaveLock::take(const QString& command, const QString& dataFile) {
  const QFileInfo info(dataFile);
  const QString lockPath = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
  fd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  // A folder that takes no new file cannot hold a lock file either; the save
  // then writes in place, as it would without the lock.
  if (fd_ < 0) return std::nullopt;
  QElapsedTimer waited;
  waited.start();
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return std::nullopt;
    if (waited.elapsed() >= 5000) {
      printErr(QStringLiteral("zr417-cli %1: %2 is being changed by another program; nothing was written, try again "
                              "when it has finished")
                   .arg(command, dataFile));
      return kExitFailed;
    }
    QThread::msleep(20);
  }
  return std::nullopt;
}

int channelsInUse(const Core& c) {
  int n = 0;
  for (int ch = 1; ch <= c.columns.channelCount && ch <= ChannelTable::kChannels; ++ch)
    if (c.ChTable.get(kRowRx, ch) != -1) ++n;
  return n;
}

void CliPrompts::message(const QString&, const QString& text, Icon) {
  messages << text;
  QString line = text;
  // The cause is added unless the message already says it.
  if (log && log->reportCount() > reportsSeen && !log->lastDetail().isEmpty() && !text.contains(log->lastDetail()))
    line += QStringLiteral(" ") + log->lastDetail();
  if (log) reportsSeen = log->reportCount();
  printErr(line);
}

std::unique_ptr<Session> startSession(const GlobalOptions& g) {
  auto s = std::make_unique<Session>();
  s->verbose = g.verbose;
  s->core = std::make_unique<Core>(g.programDir, g.configPath, s->prompts, QStringLiteral("zr417-cli"));
  // The error log's reports are for --verbose; every failure also gets its
  // own plain line from the command.
  if (g.verbose) QObject::connect(&s->core->log, &ErrorLog::reported, [](const QString& line) { printErr(line); });
  s->prompts.log = &s->core->log;
  if (s->core->configReport.reported()) printErr(s->core->configReport.message());
  s->editors = std::make_unique<Editors>(*s->core);
  startHeadless(*s->editors);
  s->prompts.reportsSeen = s->core->log.reportCount();
  return s;
}

}  // namespace zr::cli
