// zr417-cli: the command-line front end over the same core as the desktop program.
#include <QCoreApplication>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "cli/CommandTable.h"
#include "data/DataFiles.h"
#include "base/AppPaths.h"

namespace {

using Runner = int (*)(const zr::cli::GlobalOptions&, const QStringList&);

struct Command {
  const char* name;
  Runner run;
};

// The logic of each command of the command table.
const Command kCommands[] = {
    {"show", zr::cli::runShow},         {"set", zr::cli::runSet},   {"channels", zr::cli::runChannels},
    {"simulate", zr::cli::runSimulate}, {"read", zr::cli::runRead}, {"write", zr::cli::runWrite},
    {"new", zr::cli::runNew},           {"diff", zr::cli::runDiff}, {"ports", zr::cli::runPorts},
    {"batch", zr::cli::runBatch},
};

// Qt keeps arguments as UTF-8 text and would turn other bytes into a
// different name; such a file could then be created, or reported missing,
// under a name the user never gave.
bool refuseNonUtf8(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray raw(argv[i]);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8.decode(raw));
    if (utf8.hasError()) {
      const QString shown = QString::fromUtf8(raw.toPercentEncoding("/.-_~=:,+@"));
      zr::cli::printErr(QStringLiteral("zr417-cli: %1: file names that are not valid UTF-8 are not supported; rename it")
                            .arg(shown));
      return true;
    }
  }
  return false;
}

// Data on stdout that did not arrive (a full disk, a closed pipe) is a
// failure, not a success.
int finishOutput(int exit) {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int err = zr::cli::outputErrno() ? zr::cli::outputErrno() : errno;
    zr::cli::printErr(QStringLiteral("zr417-cli: cannot write output: %1")
                          .arg(err ? QString::fromLocal8Bit(std::strerror(err)) : QStringLiteral("write error")));
    return exit == zr::cli::kExitUsage ? exit : zr::cli::kExitFailed;
  }
  return exit;
}

}  // namespace

int main(int argc, char** argv) {
  if (refuseNonUtf8(argc, argv)) return zr::cli::kExitUsage;
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("zr417-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZR_VERSION));
  using namespace zr::cli;

  GlobalOptions g;
  g.programDir = QCoreApplication::applicationDirPath();
  QString command;
  QStringList rest;
  if (auto exit = parseGlobal(app.arguments(), overviewText(), g, command, rest)) return *exit;
  if (!g.configPath.isEmpty()) {
    // A configuration the user named must be there: without it the image
    // has no size, and every later message would blame the wrong file.
    try {
      zr::readFileBytes(g.configPath, 1);
    } catch (const zr::RunError& e) {
      printErr(QStringLiteral("zr417-cli: configuration file %1").arg(e.detail()));
      return kExitFailed;
    }
  }
  if (g.configPath.isEmpty()) g.configPath = zr::AppPaths::forProgram(g.programDir).configFile;
  for (const Command& c : kCommands)
    if (command == QLatin1String(c.name)) return finishOutput(c.run(g, rest));
  printErr(QStringLiteral("zr417-cli: unknown command '%1'").arg(command));
  printErr(QStringLiteral("Try 'zr417-cli --help'."));
  return kExitUsage;
}
