// zr417-cps: the desktop program.
//   zr417-cps [FILE.dat]   start, and open the data file as File > Open would
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <cstring>

#include "shell/ui/DesktopApp.h"

#ifndef ZR_VERSION
#define ZR_VERSION "0"
#endif
#ifndef ZR_APP_ID
#define ZR_APP_ID "zr417-cps"
#endif

namespace {

void describe(QCommandLineParser& parser) {
  QCoreApplication::setApplicationName(QStringLiteral("zr417-cps"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ZR_VERSION));
  parser.setApplicationDescription(QStringLiteral("Programming tool for the ZR-417 hand-held FM radio."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("data file to open at start"),
                               QStringLiteral("[FILE.dat]"));
}

// --help and --version answer without a display (a terminal, a packaging test).
bool onlyAsksForInfo(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--") == 0) return false;
    for (const char* info : {"--help", "-h", "-?", "--help-all", "--version", "-v"})
      if (std::strcmp(a, info) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (onlyAsksForInfo(argc, argv)) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);  // prints and ends
    return 0;
  }

  QApplication app(argc, argv);
  QCommandLineParser parser;
  describe(parser);
  parser.process(app);  // an unknown option ends here with a message
  const QStringList files = parser.positionalArguments();

  // The desktop entry's name lets the desktop match windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(ZR_APP_ID));
  QIcon icon;
  for (const char* size : {"48", "128", "256"})
    icon.addFile(QStringLiteral(":/icons/zr417-cps-%1.png").arg(QLatin1String(size)));
  QApplication::setWindowIcon(icon);

  zr::DesktopApp desktop(QCoreApplication::applicationDirPath());
  desktop.start();
  desktop.window().show();
  // Only the first file opens: the program holds one image.
  if (!files.isEmpty()) desktop.window().openFile(QFileInfo(files.first()).absoluteFilePath());
  return app.exec();
}
