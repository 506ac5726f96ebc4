#pragma once
// New, Open, Save and Save As of the memory image, the default image and the
// default settings files, and the refresh of the editors after a load.
#include <QString>
#include <functional>

#include "data/ChannelCodec.h"
#include "data/MemoryImage.h"
#include "shell/ErrorLog.h"
#include "shell/TextTable.h"
#include "shell/UserPrompts.h"

namespace zr {
class UndoHistory;
}

namespace zr {

// File names beside the program.
inline const QString kDefaultImageFile = QStringLiteral("dhcpqec.def");
inline const QString kDefaultVhfFile = QStringLiteral("DefRadioSet_VHF.def");
inline const QString kDefaultUhfFile = QStringLiteral("DefRadioSet_UHF.def");
inline const QString kDataFolder = QStringLiteral("Data");
inline const QString kUntitledFile = QStringLiteral("Untitled.dat");
inline const QString kDataFileFilter = QStringLiteral("Data File(*.dat)|*.dat");

// The editor steps around a load. Each editor fills its own; an empty hook
// is skipped. A hook may raise a failure: the calling sequence logs it.
struct EditorHooks {
  std::function<void()> IicDatToModel;     // position the model list from the image
  std::function<void()> IicDatToFreRange;  // position the band list from the image
  std::function<void()> ShowChTblGrid;     // decode all channels and redisplay the grid
  std::function<void()> InitOpt;           // refresh every settings page from the image
  std::function<void()> voxCheck;          // VOX comparison values check of the refresh
  std::function<void(int)> setAnVoice;     // voice-language list position after New
  std::function<void()> hideTonePicker;
  std::function<void()> statusChanged;     // the status bar shows `CurFilePath`
  std::function<void()> beforeSave;        // editors flush pending edits into the image
};

class DataFiles {
 public:
  DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts, ErrorLog& log,
            QString programDir, UndoHistory& history);

  EditorHooks hooks;

  // Program directory and the paths derived from it.
  const QString& programDir() const { return programDir_; }
  QString pathBesideProgram(const QString& name) const;
  QString untitledPath() const;
  // The undo history the file commands start afresh.
  UndoHistory& history() { return history_; }

  void InitTempArray();
  void NewFile();
  void NewFileSol();
  // Loads a data file; an empty path asks for one. Returns true when loaded.
  // A loaded file starts a fresh undo history.
  bool OpenFile(const QString& path);
  void SaveFile();
  // Returns true when a file was written.
  bool SaveAsFile();
  // Writes the image to `CurFilePath`; returns true when written.
  bool SaveDatFile();
  void GenerateDatFolder();
  // The restore-defaults button: the default settings file of the band family,
  // one step the user can take back.
  void RestoreDefaults(int bandPosition);
  void SoftDisplay();

 private:
  void setAnVoiceForLanguage();
  void redisplayChannels();
  bool loadFile(const QString& path);
  void updateStatus();

  MemoryImage& image_;
  ChannelCodec& codec_;
  const TextTable& text_;
  UserPrompts& prompts_;
  ErrorLog& log_;
  QString programDir_;
  UndoHistory& history_;
};

// Reads a whole file; raises the file failures (53 not found, 70 no access, 57 I/O).
std::vector<uint8_t> readFileBytes(const QString& path);
// Replaces a file safely: the content goes to a temporary file beside it that
// is renamed over the old one, so a failure never leaves a damaged file.
void writeFileAtomically(const QString& path, const std::vector<uint8_t>& bytes);

}  // namespace zr
