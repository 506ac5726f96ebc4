// zr417-cli: the command-line front end over the same core as the desktop program.
#include <QCoreApplication>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "cli/CommandTable.h"
#include "shell/AppPaths.h"

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
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("zr417-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZR_VERSION));
  using namespace zr::cli;

  GlobalOptions g;
  g.programDir = QCoreApplication::applicationDirPath();
  QString command;
  QStringList rest;
  if (auto exit = parseGlobal(app.arguments(), overviewText(), g, command, rest)) return *exit;
  if (g.configPath.isEmpty()) g.configPath = zr::AppPaths::forProgram(g.programDir).configFile;
  for (const Command& c : kCommands)
    if (command == QLatin1String(c.name)) return c.run(g, rest);
  printErr(QStringLiteral("zr417-cli: unknown command '%1'").arg(command));
  printErr(QStringLiteral("Try 'zr417-cli --help'."));
  return kExitUsage;
}
