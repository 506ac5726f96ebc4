#include "shell/AppPaths.h"

#include <QDir>

#include "data/DataFiles.h"

namespace zr {

AppPaths AppPaths::forProgram(const QString& programDir) {
  AppPaths p;
  const QDir dir(programDir);
  p.programDir = programDir;
  p.portable = true;
  p.configFile = dir.filePath(QStringLiteral("kelvane.def"));
  p.sharedDataDir = programDir;
  p.dataDir = dir.filePath(kDataFolder);
  p.backupDir = dir.filePath(kBackupFolder);
  return p;
}

}  // namespace zr
