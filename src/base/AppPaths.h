#pragma once
// Where the program's files live. One place decides every path: the
// configuration file, the shipped read-only files (default images, help
// pages), the default folder of the user's data files and the folder of the
// backup copies of reads and writes.
//
// Portable mode: the program's folder is writable and is not part of an
// installed tree, so everything stays beside the program, as the radio's
// tools always kept it (a build tree, an unpacked copy on a USB stick).
//
// Installed mode: the program lives in a bin/ folder of an install prefix
// (share/zr417cps beside it) or its folder is not writable. The shipped
// files are read from the install's data folder; the configuration is the
// user's own copy in the XDG configuration folder, made from the shipped one
// on first start; data files default to the user's documents (or data)
// folder and backups go under the user's data folder.
#include <QString>

namespace zr {

inline const QString kConfigFile = QStringLiteral("kelvane.def");
inline const QString kBackupFolder = QStringLiteral("Backups");
inline const QString kDataFolder = QStringLiteral("Data");
// Folder name of our files under the user's XDG folders and under share/.
inline const QString kAppFolder = QStringLiteral("zr417cps");
// Folder of the user's data files under the documents folder.
inline const QString kDocumentsFolder = QStringLiteral("ZR-417");

// The user's base folders (XDG), given explicitly so tests can pick them.
struct UserFolders {
  QString config;     // $XDG_CONFIG_HOME or ~/.config
  QString data;       // $XDG_DATA_HOME or ~/.local/share
  QString documents;  // ~/Documents (or the XDG documents folder)

  static UserFolders fromEnvironment();
};

struct AppPaths {
  QString programDir;         // folder of the executable
  bool portable = true;       // everything beside the program
  QString configFile;         // kelvane.def in use
  QString shippedConfigFile;  // kelvane.def as shipped; the seed of the user's copy
  QString sharedDataDir;      // shipped read-only files: default images, help pages
  QString dataDir;            // default folder of the user's data files
  QString backupDir;          // copies of every read and write

  // Decides the mode and the paths for a program living in programDir.
  static AppPaths forProgram(const QString& programDir);
  // The two modes with every input given.
  static AppPaths portableAt(const QString& programDir);
  static AppPaths installedAt(const QString& programDir, const QString& sharedDataDir, const UserFolders& user);

  // A shipped file (default image, help page) by name.
  QString sharedFile(const QString& name) const;

  // Installed mode: makes the user's configuration file, a copy of the
  // shipped one, when it does not exist yet. Returns an empty text when the
  // file is there, otherwise why it could not be made.
  QString provideConfigFile() const;
};

}  // namespace zr
