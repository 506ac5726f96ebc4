// zr417-cli: the command-line front end over the same core as the desktop program.
#include <QCoreApplication>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "data/DataFiles.h"
#include "shell/AppPaths.h"

namespace {

using Runner = int (*)(const zr::cli::GlobalOptions&, const QStringList&);

struct Command {
  const char* name;
  Runner run;
};

const Command kCommands[] = {
    {"show", zr::cli::runShow},         {"set", zr::cli::runSet},   {"channels", zr::cli::runChannels},
    {"simulate", zr::cli::runSimulate}, {"read", zr::cli::runRead}, {"write", zr::cli::runWrite},
    {"new", zr::cli::runNew},           {"diff", zr::cli::runDiff}, {"ports", zr::cli::runPorts},
};

const char kOverview[] =
    "Usage: zr417-cli [--config PATH] [--verbose] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  show FILE.dat [--json]    print what the editors show for a data file\n"
    "  new OUT.dat [--band TEXT] [--model TEXT]\n"
    "                            a fresh data file, as New makes it\n"
    "  set FILE.dat [--out OUT.dat] FIELD=VALUE ...\n"
    "                            change radio-wide settings (model=, band= too) and save\n"
    "  channels FILE.dat --export OUT.csv\n"
    "  channels FILE.dat --import IN.csv [--out OUT.dat]\n"
    "                            exchange the channel table as CSV\n"
    "  channels FILE.dat ... --format chirp\n"
    "                            the same in CHIRP's generic CSV\n"
    "  diff A B [--json]         differences of two data files or raw images by meaning\n"
    "  ports [--json]            the serial ports as the program numbers them\n"
    "  read --port PORT [--search] [--range SSSS-EEEE] [--out FILE.dat] [--raw FILE.bin]\n"
    "                            read the radio\n"
    "  write --port PORT [--search] [--range SSSS-EEEE] [--force] (FILE.dat | --raw FILE.bin)\n"
    "                            write the radio\n"
    "  simulate [--echo] [--ident ZZRRWW] [--model-code N] [--image FILE.bin] [--paced]\n"
    "                            run the radio simulator on a pseudo-terminal\n"
    "\n"
    "Options (before or after the command):\n"
    "  --config PATH   configuration file (default: kelvane.def beside the program,\n"
    "                  or ~/.config/zr417cps/kelvane.def when installed)\n"
    "  --verbose       also print the error log's reports on stderr\n"
    "  --help          this help; COMMAND --help for a command's help\n"
    "  --version       the program's version\n"
    "\n"
    "Options take their value as --opt VALUE or --opt=VALUE; -- ends the options.\n"
    "Exit codes: 0 success, 1 the operation failed, 2 usage error.\n";

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
  if (auto exit = parseGlobal(app.arguments(), QString::fromUtf8(kOverview), g, command, rest)) return *exit;
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
