#pragma once
// Runs the built zr417-cli as a process and collects what it printed.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace zr::testing {

struct CliResult {
  int exitCode = -1;
  QString out, err;
};

inline CliResult runCli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(ZR_BIN_DIR "/zr417-cli"), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace zr::testing
