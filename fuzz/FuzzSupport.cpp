#include "shell/StartupSteps.h"
#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace zr::fuzz {

namespace {

QTemporaryDir* folder = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "qFatal: %s\n", qPrintable(msg));
    std::abort();
  }
}

}  // namespace

void fail(const char* what) {
  std::fprintf(stderr, "\n*** invariant broken: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

bool sameTwiceMode() {
  static const bool on = qEnvironmentVariableIntValue("ZR_FUZZ_SAME_TWICE") != 0;
  return on;
}

// The program folder lives in memory where the system offers a tmpfs: every
// Save and every key written syncs its file, which on a disk waits for the
// disk (and on a busy machine for everyone else's writes).
static QString scratchBase() {
  const QFileInfo shm(QStringLiteral("/dev/shm"));
  if (shm.isDir() && shm.isWritable() && qEnvironmentVariableIsEmpty("ZR_FUZZ_ON_DISK")) return shm.filePath();
  return QDir::tempPath();
}

void initialise(int* argc, char*** argv) {
  static QCoreApplication* app = nullptr;
  if (app) return;
  app = new QCoreApplication(*argc, *argv);
  qInstallMessageHandler(quietMessages);
  folder = new QTemporaryDir(scratchBase() + QStringLiteral("/zr417-fuzz-XXXXXX"));
  check(folder->isValid(), "temporary program folder");
  for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def", "kelvane.def"}) {
    const QString to = folder->filePath(QString::fromLatin1(name));
    check(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + QString::fromLatin1(name), to),
          "copy a support file from the build's bin folder");
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
  }
  QDir(folder->path()).mkpath(QStringLiteral("Data"));
  // The folder goes when the process ends normally; a crash leaves it behind.
  std::atexit([] { delete folder; });
}

const QString& programDir() {
  static const QString dir = folder->path();
  return dir;
}

QString programPath(const QString& name) { return folder->filePath(name); }

void writeFile(const QString& path, const uint8_t* data, size_t size) {
  QFile f(path);
  check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "open a scratch file for writing");
  check(f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size),
        "write a scratch file");
}

// Plain system calls: a QFile costs more than the read of a small file.
bool readFileInto(const QString& path, std::vector<uint8_t>& out) {
  out.clear();
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  uint8_t chunk[16384];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    out.insert(out.end(), chunk, chunk + n);
  }
  ::close(fd);
  return ok;
}

std::vector<uint8_t> readFile(const QString& path) {
  std::vector<uint8_t> out;
  return readFileInto(path, out) ? out : std::vector<uint8_t>{};
}

Session::Session(const QString& configPath) {
  const QString config = configPath.isEmpty() ? programPath(kConfigFile) : configPath;
  core = std::make_unique<Core>(programDir(), config, prompts, QStringLiteral("zr417-fuzz"));
  core->log.setClockText([] { return QStringLiteral("fuzz"); });
  editors = std::make_unique<Editors>(*core);
  startHeadless(*editors);
  started_ = core->image;
  // The table as the decoder makes it of the started image: what the refresh
  // of a restart would decode, so the restart can leave the decoder out.
  core->codec.IicDatToChInfo();
  startedTable_ = core->ChTable;
  startedSettings_ = core->settings;
  startedConfig_ = readFile(core->ini.path());
  // The undo history keeps the storage of one given-up step for the next
  // one. Given one from the start, it holds one after every input; otherwise
  // an input that made the first step would leave it behind, and libFuzzer
  // would run that input again looking for a leak.
  core->history.aboutToChange(QString());
  core->history.clear();
}

void Session::restart() {
  core->image = started_;
  core->ChTable = startedTable_;
  core->settings = startedSettings_;
  core->history.clear();
  // The questions and messages an input raised belong to that input (kept,
  // they grew by every message box of every input).
  prompts.asked.clear();
  prompts.messages.clear();
  prompts.titles.clear();
  // A port search, a language switch or a closing may have written a key.
  if (!readFileInto(core->ini.path(), configNow_) || configNow_ != startedConfig_)
    writeFile(core->ini.path(), startedConfig_.data(), startedConfig_.size());
  // Every read and write keeps copies of the image in the backup folder,
  // which the start-up left empty; a folder of the last 200 transfers' copies
  // would also make each transfer list 400 files when it prunes them.
  if (QDir backups(core->paths.backupDir); backups.exists()) backups.removeRecursively();
  // The refresh of data just loaded (as SoftDisplay gives it), without its
  // decoding of the image: the table restored above is that decoding.
  emit core->events.replaced(DataEvents::Replacement::Loaded);
  core->log.load();
  core->log.forgetReports();
}

void Session::digest(Digest& d) const {
  if (!d.on()) return;
  d.add(core->image.TempArray.bytes());
  d.add(core->image.DefTempArray.bytes());
  d.add(core->image.CurFilePath);
  // The tone columns' placeholder rows are left out: they are never encoded
  // or shown (the tones themselves are), and an import leaves 0 or -1 there
  // depending on what an earlier import did.
  for (int row = 0; row < ChannelTable::kRows; ++row) {
    if (row == kRowDecode || row == kRowEncode) continue;
    for (int ch = 1; ch <= ChannelTable::kChannels; ++ch) d.add(static_cast<long long>(core->ChTable.get(row, ch)));
  }
  for (int ch = 1; ch <= ChannelTable::kChannels; ++ch) {
    d.add(core->ChTable.decodeTone(ch));
    d.add(core->ChTable.encodeTone(ch));
  }
  for (const QString& line : core->log.lines()) d.add(line);
  const AppSettings& s = core->settings;
  for (int v : {s.ComPort, s.TableMaxAddr, s.ReadStartAddr, s.ReadEndAddr, s.WriteStartAddr, s.WriteEndAddr})
    d.add(static_cast<long long>(v));
}

Session& sharedSession() {
  static Session* session = [] {
    auto* s = new Session;
    s->restart();
    return s;
  }();
  return *session;
}

int reportsWithCode(const ErrorLog& log, int code) {
  static const QRegularExpression report(QStringLiteral("出错号:  (\\d+) "));
  int n = 0;
  for (const QString& line : log.lines()) {
    const QRegularExpressionMatch m = report.match(line);
    if (m.hasMatch() && m.captured(1).toInt() == code) ++n;
  }
  return n;
}

}  // namespace zr::fuzz
