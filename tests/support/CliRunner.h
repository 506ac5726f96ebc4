#pragma once
// Runs the built zr417-cli as a process and collects what it printed.
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

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

}  // namespace zr::testing
