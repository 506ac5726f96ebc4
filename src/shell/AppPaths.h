#pragma once
// Where the program's files live. One place decides every path: the
// configuration file, the shipped read-only files (default images, help
// pages), the default folder of the user's data files and the folder of the
// backup copies of reads and writes.
//
// Portable mode: the program's folder is writable, so everything stays
// beside the program, as the radio's tools always kept it.
#include <QString>

namespace zr {

struct AppPaths {
  QString programDir;     // folder of the executable
  bool portable = true;   // the program's folder is writable
  QString configFile;     // kelvane.def
  QString sharedDataDir;  // shipped read-only files: default images, help pages
  QString dataDir;        // default folder of the user's data files
  QString backupDir;      // copies of every read and write

  // Decides the paths for a program living in programDir.
  static AppPaths forProgram(const QString& programDir);
};

inline const QString kBackupFolder = QStringLiteral("Backups");

}  // namespace zr
