#include "data/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <QDateTime>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/DataFileCheck.h"
#include "data/UndoHistory.h"
#include "base/TextIds.h"

namespace zr {

DataFiles::DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts,
                     ErrorLog& log, AppPaths paths, UndoHistory& history, DataEvents& events)
    : image_(image),
      codec_(codec),
      text_(text),
      prompts_(prompts),
      log_(log),
      paths_(std::move(paths)),
      history_(history),
      events_(events) {}

QString DataFiles::untitledPath() const { return QDir(paths_.dataDir).filePath(kUntitledFile); }

void DataFiles::tellReplaced(DataEvents::Replacement how) {
  // `ChTable` follows the image whether or not anybody shows it.
  guarded(log_, "modChMem->ShowChTblGrid", [&] { codec_.IicDatToChInfo(); });
  emit events_.replaced(how);
}

void DataFiles::updateStatus() { emit events_.fileNamed(); }

bool DataFiles::mayReplaceData(const QString& ownQuestion) {
  // A pending grid or field edit belongs to the data being asked about.
  emit events_.pendingEditsWanted();
  if (!history_.modified())
    return ownQuestion.isEmpty() || prompts_.askYesNo(text_.SoftFace(kTxtNotice), ownQuestion);
  switch (prompts_.askSaveDiscardCancel(text_.SoftFace(kTxtNotice), text_.SoftFace(kTxtAskSave))) {
    case UserPrompts::SaveChoice::Save: return SaveAsFile();
    case UserPrompts::SaveChoice::Discard: return true;
    case UserPrompts::SaveChoice::Cancel: break;
  }
  return false;
}

void DataFiles::InitTempArray() {
  guarded(log_, "mdifrmMain->InitTempArray", [&] {
    const std::vector<uint8_t> file =
        readFileBytes(shippedFile(kDefaultImageFile), image_.TempArray.size());
    // Both arrays must reach the end of the realignment before either changes.
    if (image_.TempArray.upperBound() < kRealignEnd)
      throwSubscript("TempArray", kRealignEnd, 0, image_.TempArray.upperBound());
    if (image_.DefTempArray.upperBound() < kRealignEnd)
      throwSubscript("DefTempArray", kRealignEnd, 0, image_.DefTempArray.upperBound());
    loadRaw(image_.TempArray, file);
    loadRaw(image_.DefTempArray, file);
    realign(image_.TempArray);
    realign(image_.DefTempArray);
  });
}

void DataFiles::NewFile() {
  guarded(log_, "mdifrmMain->NewFile", [&] {
    if (!mayReplaceData(text_.SoftFace(kTxtClearAll))) return;
    image_.CurFilePath = untitledPath();
    stamp_ = {};  // a new data set has no file on disk to compare with
    updateStatus();
    NewFileSol();
    history_.clear();
  });
}

void DataFiles::NewFileSol() {
  guarded(log_, "mdifrmMain->NewFileSol", [&] {
    // The model and band bytes belong to the band choice, not to the data set.
    uint8_t kept[kBandBytesEnd - kModelByteAddr + 1];
    for (int a = kModelByteAddr; a <= kBandBytesEnd; ++a) kept[a - kModelByteAddr] = image_.TempArray.at(a);
    InitTempArray();
    for (int a = kModelByteAddr; a <= kBandBytesEnd; ++a) image_.TempArray.set(a, kept[a - kModelByteAddr]);
    tellReplaced(DataEvents::Replacement::New);
  });
}

bool DataFiles::OpenFile(const QString& path, FileForm form) {
  if (!mayReplaceData()) return false;
  const bool loaded = loadFile(path, form);
  if (loaded) history_.clear();
  return loaded;
}

bool DataFiles::loadFile(const QString& pathArg, FileForm form, DataEvents::Replacement how) {
  bool loaded = false;
  const bool ok = guarded(log_, "mdifrmMain->OpenFile", [&] {
    QString path = pathArg;
    if (path.isEmpty()) {
      path = prompts_.openFileName(kDataFileFilter, image_.CurFilePath);
      if (path.isEmpty()) return;
    }
    // The whole file is read before the image changes, so an unreadable file
    // leaves the image as it was.
    if (form == FileForm::RawImage) {
      // One byte more than the image is read, so a longer file shows.
      const std::vector<uint8_t> raw = readFileBytes(path, image_.TempArray.size() + 1);
      if (static_cast<long long>(raw.size()) != static_cast<long long>(image_.TempArray.size()))
        throw RunError(kErrBadFileMode, QStringLiteral("%1: %2 bytes, a raw image has %3")
                                            .arg(path).arg(raw.size()).arg(image_.TempArray.size()));
      loadRaw(image_.TempArray, raw);
      SoftDisplay(how);
      const QFileInfo fi(path);
      image_.CurFilePath = fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".dat"));
      updateStatus();
      loaded = true;
      return;
    }
    const std::vector<uint8_t> file = readFileBytes(path, image_.TempArray.size());
    if (image_.TempArray.upperBound() < kRealignEnd)
      throwSubscript("TempArray", kRealignEnd, 0, image_.TempArray.upperBound());
    loadRaw(image_.TempArray, file);
    realign(image_.TempArray);
    SoftDisplay(how);
    image_.CurFilePath = path;
    updateStatus();
    loaded = true;
    const qint64 size = QFileInfo(path).size();
    lastOpenNote_ = size <= static_cast<qint64>(file.size())
                        ? dataFileProblem(file)
                        : QStringLiteral("it has %1 bytes, a data file has %2").arg(size).arg(kDataFileSize);
    stamp_ = stampOf(path);
  });
  if (!ok) prompts_.message(text_.text(kTxtNotice, text_.language()), text_.text(kTxtWrongFileType, text_.language()),
                            UserPrompts::Icon::Error);
  return loaded;
}

void DataFiles::SaveFile() {
  const bool ok = guarded(log_, "mdifrmMain->SaveFile", [&] {
    prompts_.focusMainWindow();
    if (prompts_.askYesNo(text_.SoftFace(kTxtNotice), text_.SoftFace(kTxtAskSave))) SaveAsFile();
  });
  if (!ok) prompts_.message(text_.text(kTxtNotice, text_.language()), text_.text(kTxtSaveFailed, text_.language()),
                            UserPrompts::Icon::Error);
}

bool DataFiles::SaveAsFile() {
  bool written = false;
  bool failed = false;
  const QString previous = image_.CurFilePath;
  const bool ok = guarded(log_, "mdifrmMain->SaveAsFile", [&] {
    QString path;
    for (;;) {
      path = prompts_.saveFileName(kDataFileFilter, image_.CurFilePath, QStringLiteral("dat"));
      if (path.isEmpty()) return;
      const Overwrite answer = checkChangedOnDisk(path);
      if (answer == Overwrite::Cancel) return;
      if (answer == Overwrite::Go) break;
    }
    image_.CurFilePath = path;
    written = SaveDatFile();
    if (!written) {
      // The file was not written: keep naming the file the image came from.
      image_.CurFilePath = previous;
      updateStatus();
      failed = true;
    }
  });
  if (!ok || failed) {
    // The user is told why: "disk full", "permission denied", ...
    QString msg = text_.text(kTxtSaveAsFailed, text_.language());
    if (failed && !lastSaveFailure_.isEmpty()) msg += QStringLiteral("\n") + lastSaveFailure_;
    prompts_.message(text_.text(kTxtNotice, text_.language()), msg, UserPrompts::Icon::Error);
  }
  return written;
}

bool DataFiles::SaveDatFile() {
  lastSaveFailure_.clear();
  return guarded(log_, "mdifrmMain->SaveDatFile", [&] {
    emit events_.pendingEditsWanted();
    codec_.ChInfoToIicDat();
    const std::vector<uint8_t> content = toDataFile(image_.TempArray);
    for (size_t k = 0; k < kDataSignature.size(); ++k) image_.TempArray.set(static_cast<long long>(k), kDataSignature[k]);
    // An existing longer file keeps its bytes beyond the data file's end.
    try {
      writeFileAtomically(image_.CurFilePath,
                          QByteArray(reinterpret_cast<const char*>(content.data()), static_cast<qsizetype>(content.size())),
                          kDataFileSize);
    } catch (const RunError& e) {
      lastSaveFailure_ = e.detail();
      throw;
    }
    history_.markClean();
    stamp_ = stampOf(image_.CurFilePath);
    updateStatus();
  });
}

DataFiles::DiskStamp DataFiles::stampOf(const QString& path) {
  DiskStamp st;
  const QFileInfo info(path);
  st.path = info.absoluteFilePath();
  if (!info.isFile()) return st;
  st.size = info.size();
  st.modified = info.lastModified().toMSecsSinceEpoch();
  try {
    const std::vector<uint8_t> bytes = readFileBytes(path, 1 << 20);
    st.hash = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
        QCryptographicHash::Sha256);
  } catch (const RunError&) {
  }
  return st;
}

DataFiles::Overwrite DataFiles::checkChangedOnDisk(const QString& path) {
  if (stamp_.path.isEmpty() || QFileInfo(path).absoluteFilePath() != stamp_.path) return Overwrite::Go;
  const DiskStamp now = stampOf(path);
  if (now.size < 0 || now == stamp_) return Overwrite::Go;  // gone, or as we left it
  const int choice = prompts_.askChoice(
      text_.SoftFace(kTxtNotice),
      QStringLiteral("%1 was changed by another program since you opened it.\nOverwrite it with your data, save under "
                     "another name, or cancel?")
          .arg(path),
      {QStringLiteral("Overwrite"), QStringLiteral("Save As..."), QStringLiteral("Cancel")});
  return choice == 0 ? Overwrite::Go : choice == 1 ? Overwrite::Again : Overwrite::Cancel;
}

void DataFiles::GenerateDatFolder() {
  guarded(log_, "mdifrmMain->GenerateDatFolder", [&] {
    if (!QFileInfo(paths_.dataDir).isDir() && !QDir().mkpath(paths_.dataDir))
      throw RunError(kErrPathFileAccess, QStringLiteral("cannot create %1").arg(paths_.dataDir));
    image_.CurFilePath = untitledPath();
    stamp_ = {};  // a new data set has no file on disk to compare with
    updateStatus();
  });
}

void DataFiles::RestoreDefaults(int bandPosition) {
  if (!mayReplaceData()) return;
  const QString file = bandPosition > 6 ? kDefaultUhfFile : kDefaultVhfFile;
  UndoHistory::Group step(history_);
  loadFile(shippedFile(file), FileForm::DataFile, DataEvents::Replacement::DefaultsLoaded);
}

void DataFiles::SoftDisplay(DataEvents::Replacement how) {
  guarded(log_, "modChMem->SoftDisplay", [&] {
    // The signature is no setting and no channel: the editors never show it.
    if (image_.TempArray.at(kModelSignatureAddr) != kModelSignature[0]) {
      for (size_t k = 0; k < kModelSignature.size(); ++k)
        image_.TempArray.set(kModelSignatureAddr + static_cast<long long>(k), kModelSignature[k]);
    }
    tellReplaced(how);
  });
}

}  // namespace zr
