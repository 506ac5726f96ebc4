#pragma once
// The program-wide state of one run: the error log, the text table, the
// configuration file, the tone and character tables, the memory image, the
// channel table with its codec, and the file commands. The desktop program
// and the CLI each build one; tests build their own.
#include <QString>
#include <memory>

#include "data/ChColumnDefs.h"
#include "data/ChannelCodec.h"
#include "data/ChannelTable.h"
#include "data/DataEvents.h"
#include "data/CharTable.h"
#include "data/DataFiles.h"
#include "data/MemoryImage.h"
#include "data/ToneTable.h"
#include "data/UndoHistory.h"
#include "base/AppPaths.h"
#include "base/AppSettings.h"
#include "base/ConfigWriteReport.h"
#include "base/ErrorLog.h"
#include "base/PrivateProfile.h"
#include "base/TextTable.h"
#include "base/UserPrompts.h"

namespace zr {

inline const QString kSettingSection = QStringLiteral("Setting");
inline const QString kChInfoSection = QStringLiteral("ChInfo");

struct Core {
  // An empty `configPath` means the configuration file the paths decide
  // (beside the program, or the user's own copy in installed mode).
  Core(QString programDir, QString configPath, UserPrompts& prompts, QString logSource);

  QString programDir;
  AppPaths paths;
  ErrorLog log;
  ConfigWriteReport configReport{log};
  TextTable text;
  int CurLang = kLangEng;
  AppSettings settings;
  PrivateProfile ini;
  ToneTable tones;
  CharTable chars;
  MemoryImage image;
  ChannelTable ChTable;
  ChColumnDefs columns;
  ChannelCodec codec;
  UndoHistory history;  // the user's changes of image and channel table
  UserPrompts& prompts;
  DataEvents events;  // what happened to the data, for whoever shows it
  DataFiles files;

  // Reads a key of section "Setting" (value cut to maxChars, trimmed).
  QString setting(const QString& key, const QString& def, int maxChars) const {
    return ini.GetString(kSettingSection, key, def, maxChars);
  }
};

}  // namespace zr
