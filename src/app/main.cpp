// zr417-cps: the desktop program.
#include <QApplication>

#include "shell/ui/DesktopApp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zr417-cps"));
  zr::DesktopApp desktop(QCoreApplication::applicationDirPath());
  desktop.start();
  desktop.window().show();
  return app.exec();
}
