#include "base/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "base/SafeFile.h"

#ifndef ZR_SHARE_FROM_BIN
#define ZR_SHARE_FROM_BIN "../share/zr417cps"
#endif

namespace zr {

UserFolders UserFolders::fromEnvironment() {
  UserFolders u;
  u.config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  u.data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  u.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  // Without a home folder Qt answers nothing; the current folder is the last resort.
  if (u.config.isEmpty()) u.config = QDir::currentPath();
  if (u.data.isEmpty()) u.data = QDir::currentPath();
  return u;
}

AppPaths AppPaths::portableAt(const QString& programDir) {
  AppPaths p;
  const QDir dir(programDir);
  p.programDir = programDir;
  p.portable = true;
  p.configFile = dir.filePath(kConfigFile);
  p.shippedConfigFile = p.configFile;
  p.sharedDataDir = programDir;
  p.dataDir = dir.filePath(kDataFolder);
  p.backupDir = dir.filePath(kBackupFolder);
  return p;
}

AppPaths AppPaths::installedAt(const QString& programDir, const QString& sharedDataDir, const UserFolders& user) {
  AppPaths p;
  p.programDir = programDir;
  p.portable = false;
  p.sharedDataDir = sharedDataDir;
  p.shippedConfigFile = QDir(sharedDataDir).filePath(kConfigFile);
  const QDir ownData(QDir(user.data).filePath(kAppFolder));
  p.configFile = QDir(QDir(user.config).filePath(kAppFolder)).filePath(kConfigFile);
  // Data files go where the user keeps documents; a home without a documents
  // folder (a server account, a fresh container) keeps them with our data.
  p.dataDir = !user.documents.isEmpty() && QFileInfo(user.documents).isDir()
                  ? QDir(user.documents).filePath(kDocumentsFolder)
                  : ownData.filePath(kDataFolder);
  p.backupDir = ownData.filePath(kBackupFolder);
  return p;
}

AppPaths AppPaths::forProgram(const QString& programDir) {
  const QString share = QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(ZR_SHARE_FROM_BIN)));
  // An installed tree is recognised by its shipped configuration in share/;
  // even root, who may write to /usr/bin, then keeps files out of bin/.
  const bool installedTree = QFileInfo(QDir(share).filePath(kConfigFile)).isFile();
  if (!installedTree && QFileInfo(programDir).isWritable()) return portableAt(programDir);
  return installedAt(programDir, installedTree ? share : programDir, UserFolders::fromEnvironment());
}

QString AppPaths::sharedFile(const QString& name) const { return QDir(sharedDataDir).filePath(name); }

QString AppPaths::provideConfigFile() const {
  if (portable || QFileInfo::exists(configFile)) return {};
  const QString folder = QFileInfo(configFile).absolutePath();
  if (!QDir().mkpath(folder)) return QStringLiteral("cannot create the folder %1").arg(folder);
  if (!QFileInfo(shippedConfigFile).isFile()) {
    // Without a shipped copy the program starts on its defaults and the
    // first setting written creates the file.
    return {};
  }
  QFile source(shippedConfigFile);
  if (!source.copy(configFile))
    return QStringLiteral("cannot copy %1 to %2: %3").arg(shippedConfigFile, configFile, source.errorString());
  // The shipped file is read-only in the install; the user's copy is the user's.
  QFile::setPermissions(configFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  return {};
}

}  // namespace zr
