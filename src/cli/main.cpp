// zr417-cli: the command-line front end over the same core as the desktop program.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "cli/CliCommon.h"

namespace {

const char kUsage[] =
    "Usage: zr417-cli [--config PATH] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  show FILE.dat [--json]    print what the editors show for a data file\n"
    "  set FILE.dat [--out OUT.dat] FIELD=VALUE ...\n"
    "                            change radio-wide settings and save\n"
    "  channels FILE.dat --export OUT.csv\n"
    "  channels FILE.dat --import IN.csv [--out OUT.dat]\n"
    "                            exchange the channel table as CSV\n"
    "  read --port PORT [--range SSSS-EEEE] [--out FILE.dat] [--raw FILE.bin]\n"
    "                            read the radio\n"
    "  write --port PORT [--range SSSS-EEEE] (FILE.dat | --raw FILE.bin)\n"
    "                            write the radio\n"
    "  simulate [--echo] [--ident ZZRRWW] [--model-code N] [--image FILE.bin] [--paced]\n"
    "                            run the radio simulator on a pseudo-terminal\n"
    "\n"
    "Options:\n"
    "  --config PATH   configuration file (default: kelvane.def beside the program,\n"
    "                  or ~/.config/zr417cps/kelvane.def when installed)\n"
    "  --help          this help; COMMAND --help for a command's help\n"
    "  --version       the program's version\n"
    "\n"
    "Exit codes: 0 success, 1 the operation failed, 2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("zr417-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZR_VERSION));
  using namespace zr::cli;

  GlobalOptions g;
  g.programDir = QCoreApplication::applicationDirPath();
  QStringList rest;
  const QStringList args = app.arguments().mid(1);
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QStringLiteral("--config")) {
      if (i + 1 >= args.size()) {
        printErr(QStringLiteral("zr417-cli: --config needs a path"));
        return kExitUsage;
      }
      g.configPath = args[++i];
    } else if (a.startsWith(QStringLiteral("--config="))) {
      g.configPath = a.mid(9);
    } else if (a == QStringLiteral("--version")) {
      printOut(QStringLiteral("zr417-cli %1").arg(QStringLiteral(ZR_VERSION)));
      return kExitOk;
    } else if ((a == QStringLiteral("--help") || a == QStringLiteral("-h")) && rest.isEmpty()) {
      std::fputs(kUsage, stdout);
      return kExitOk;
    } else {
      rest << a;
    }
  }
  if (g.configPath.isEmpty()) g.configPath = zr::AppPaths::forProgram(g.programDir).configFile;
  if (rest.isEmpty()) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const QString command = rest.takeFirst();
  if (command == QStringLiteral("show")) return runShow(g, rest);
  if (command == QStringLiteral("set")) return runSet(g, rest);
  if (command == QStringLiteral("channels")) return runChannels(g, rest);
  if (command == QStringLiteral("simulate")) return runSimulate(g, rest);
  if (command == QStringLiteral("read")) return runRead(g, rest);
  if (command == QStringLiteral("write")) return runWrite(g, rest);
  printErr(QStringLiteral("zr417-cli: unknown command '%1'").arg(command));
  std::fputs(kUsage, stderr);
  return kExitUsage;
}
