#pragma once
// Runs the built zr417-cli as a process and collects what it printed.
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <signal.h>

namespace zr::testing {

struct CliResult {
  int exitCode = -1;
  QString out, err;
};

// `input` goes to the program's stdin, which is then closed.
inline CliResult runCliWithInput(const QStringList& args, const QByteArray& input) {
  QProcess p;
  p.start(QStringLiteral(ZR_BIN_DIR "/zr417-cli"), args);
  p.waitForStarted(60000);
  if (!input.isEmpty()) p.write(input);
  p.closeWriteChannel();
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

inline CliResult runCli(const QStringList& args) { return runCliWithInput(args, {}); }

// A whole file's bytes, empty when it cannot be read (the files the commands wrote or left alone).
inline QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// `zr417-cli simulate ARGS` for the life of the object: a simulated radio on
// a pseudo-terminal, ended with Ctrl+C as a user would.
class SimulatedRadio {
 public:
  explicit SimulatedRadio(const QStringList& args = {}) {
    proc_.start(QStringLiteral(ZR_BIN_DIR "/zr417-cli"), QStringList{QStringLiteral("simulate")} + args);
    if (!proc_.waitForStarted(5000)) return;
    while (!proc_.canReadLine() && proc_.waitForReadyRead(5000)) {
    }
    device_ = QString::fromUtf8(proc_.readLine()).trimmed();
  }
  ~SimulatedRadio() {
    if (proc_.state() == QProcess::NotRunning) return;
    ::kill(static_cast<pid_t>(proc_.processId()), SIGINT);
    if (!proc_.waitForFinished(5000)) proc_.kill();
  }
  SimulatedRadio(const SimulatedRadio&) = delete;
  SimulatedRadio& operator=(const SimulatedRadio&) = delete;
  // The pseudo-terminal's device path (empty when the simulator did not start).
  const QString& device() const { return device_; }

 private:
  QProcess proc_;
  QString device_;
};

}  // namespace zr::testing
