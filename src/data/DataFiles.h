#pragma once
// New, Open, Save and Save As of the memory image, the default image and the
// default settings files, and the refresh of the editors after a load.
#include <QString>
#include <functional>

#include "data/ChannelCodec.h"
#include "data/DataEvents.h"
#include "data/MemoryImage.h"
#include "base/AppPaths.h"
#include "base/SafeFile.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/UserPrompts.h"

namespace zr {
class UndoHistory;
}

namespace zr {

// Names of the shipped files and of the data folder.
inline const QString kDefaultImageFile = QStringLiteral("dhcpqec.def");
inline const QString kDefaultVhfFile = QStringLiteral("DefRadioSet_VHF.def");
inline const QString kDefaultUhfFile = QStringLiteral("DefRadioSet_UHF.def");
inline const QString kUntitledFile = QStringLiteral("Untitled.dat");
inline const QString kDataFileFilter = QStringLiteral("Data File(*.dat)|*.dat");

class DataFiles {
 public:
  DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts, ErrorLog& log,
            AppPaths paths, UndoHistory& history, DataEvents& events);

  const QString& programDir() const { return paths_.programDir; }
  const AppPaths& paths() const { return paths_; }
  // A shipped file: the default image, a default settings file.
  QString shippedFile(const QString& name) const { return paths_.sharedFile(name); }
  // The default data file name in the data folder.
  QString untitledPath() const;
  // The undo history the file commands start afresh.
  UndoHistory& history() { return history_; }
  // What happened to the data, for whoever shows it.
  DataEvents& events() { return events_; }

  // Every command that replaces the data (Read, Open, New, closing, the
  // language switch, a band change, Restore Default Setting) asks here first.
  // With unsaved changes it asks "save them first?" with Save / Discard /
  // Cancel in place of the command's own question; Save goes on only when
  // the file was saved. Without changes it asks `ownQuestion` (a Yes/No
  // question; none when empty). True when the command may go on.
  bool mayReplaceData(const QString& ownQuestion = {});

  void InitTempArray();
  void NewFile();
  void NewFileSol();
  // How a file given to OpenFile is read.
  enum class FileForm {
    DataFile,  // a 1040-byte data file, realigned into the image
    RawImage,  // the image bytes from address 0 exactly (DatNum + 1 of them)
  };
  // Loads a data file; an empty path asks for one. Returns true when loaded.
  // A loaded file starts a fresh undo history. A raw image must have the
  // image's size; the image then names the same file with ".dat", so that a
  // save cannot write a data file over the raw one.
  bool OpenFile(const QString& path, FileForm form = FileForm::DataFile);
  void SaveFile();
  // Returns true when a file was written.
  bool SaveAsFile();
  // Writes the image to `CurFilePath`; returns true when written.
  bool SaveDatFile();
  void GenerateDatFolder();
  // The restore-defaults button: the default settings file of the band family,
  // one step the user can take back.
  void RestoreDefaults(int bandPosition);
  // Tells the editors that the whole image was replaced (`how`), after a
  // load the model signature; a data set without editors still gets its
  // channel table decoded.
  void SoftDisplay(DataEvents::Replacement how = DataEvents::Replacement::Loaded);
  // Tells that the image was replaced; decodes `ChTable` when nobody shows it.
  void tellReplaced(DataEvents::Replacement how);
  // The current file name changed (the status line and recent files follow).
  void updateStatus();

  // When the last file opened was not a data file, why not ("it has 8192
  // bytes, a data file has 1040"); Open still loads it as the radio's tools
  // always have, and the window says so.
  const QString& lastOpenNote() const { return lastOpenNote_; }

  // Why the last save failed ("PATH: disk full"); empty after a good one.
  const QString& lastSaveFailure() const { return lastSaveFailure_; }

 private:
  bool loadFile(const QString& path, FileForm form = FileForm::DataFile,
                DataEvents::Replacement how = DataEvents::Replacement::Loaded);

  MemoryImage& image_;
  ChannelCodec& codec_;
  const TextTable& text_;
  UserPrompts& prompts_;
  ErrorLog& log_;
  AppPaths paths_;
  QString lastSaveFailure_;
  QString lastOpenNote_;
  // The file as it was when it was opened or last saved, so that a save over
  // it can tell whether another program changed it in between.
  struct DiskStamp {
    QString path;
    qint64 size = -1;
    qint64 modified = 0;
    QByteArray hash;
    bool operator==(const DiskStamp&) const = default;
  };
  DiskStamp stamp_;
  static DiskStamp stampOf(const QString& path);
  // True to go on saving over `path`, false when the user chose otherwise.
  enum class Overwrite { Go, Again, Cancel };
  Overwrite checkChangedOnDisk(const QString& path);
  UndoHistory& history_;
  DataEvents& events_;
};


}  // namespace zr
