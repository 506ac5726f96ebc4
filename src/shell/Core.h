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
#include "data/CharTable.h"
#include "data/DataFiles.h"
#include "data/MemoryImage.h"
#include "data/ToneTable.h"
#include "shell/AppPaths.h"
#include "shell/AppSettings.h"
#include "shell/ConfigWriteReport.h"
#include "shell/ErrorLog.h"
#include "shell/PrivateProfile.h"
#include "shell/TextTable.h"
#include "shell/UserPrompts.h"

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
  UserPrompts& prompts;
  DataFiles files;

  // Reads a key of section "Setting" (value cut to maxChars, trimmed).
  QString setting(const QString& key, const QString& def, int maxChars) const {
    return ini.GetString(kSettingSection, key, def, maxChars);
  }

  // The data side of the start-up without windows: language (always
  // English), image size from "DatNum", column definitions, every channel
  // emptied, and the default image loaded as the initial band choice does.
  void startHeadless();
};

}  // namespace zr
