#include "data/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include "data/UndoHistory.h"

namespace zr {

namespace {
// Entries of the text table used here.
constexpr int kTxtNotice = 70;
constexpr int kTxtClearAll = 74;
constexpr int kTxtAskSave = 82;
constexpr int kTxtWrongFileType = 83;
constexpr int kTxtSaveFailed = 84;
constexpr int kTxtSaveAsFailed = 86;

int fileErrorCode(QFileDevice::FileError e, bool exists) {
  switch (e) {
    case QFileDevice::PermissionsError: return kErrPermissionDenied;
    case QFileDevice::OpenError: return exists ? kErrPathFileAccess : kErrFileNotFound;
    case QFileDevice::ResourceError: return kErrDiskFull;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError: return kErrDeviceIo;
    default: return kErrPathFileAccess;
  }
}
}  // namespace

std::vector<uint8_t> readFileBytes(const QString& path, qint64 maxBytes) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    const bool exists = QFileInfo::exists(path);
    if (!exists) throw RunError(kErrFileNotFound, QStringLiteral("%1: no such file").arg(path));
    throw RunError(f.error() == QFileDevice::PermissionsError ? kErrPermissionDenied
                                                               : fileErrorCode(f.error(), exists),
                   QStringLiteral("%1: %2").arg(path, f.errorString()));
  }
  if (QFileInfo(path).isDir()) throw RunError(kErrPathFileAccess, QStringLiteral("%1 is a folder").arg(path));
  const QByteArray data = maxBytes < 0 ? f.readAll() : f.read(maxBytes);
  if (f.error() != QFileDevice::NoError) throw RunError(kErrDeviceIo, f.errorString());
  return std::vector<uint8_t>(data.begin(), data.end());
}

namespace {

// The failure of a write, named by its cause. `err` is errno right after the
// failing call (0 when unknown); the device's own text is the fallback.
RunError writeFailure(const QString& path, const QFileDevice& f, int err) {
  const QString text = f.errorString();
  const auto says = [&](int code) { return err == code || text == qt_error_string(code); };
  if (says(ENOSPC) || says(EDQUOT) || f.error() == QFileDevice::ResourceError)
    return RunError(kErrDiskFull, QStringLiteral("%1: disk full").arg(path));
  if (says(EACCES) || says(EPERM) || f.error() == QFileDevice::PermissionsError)
    return RunError(kErrPermissionDenied, QStringLiteral("%1: permission denied").arg(path));
  if (says(EROFS)) return RunError(kErrPermissionDenied, QStringLiteral("%1: read-only file system").arg(path));
  if (says(ENOENT) || says(ENOTDIR))
    return RunError(kErrPathNotFound, QStringLiteral("%1: no such folder").arg(path));
  return RunError(kErrDeviceIo, QStringLiteral("%1: %2").arg(path, text.isEmpty() ? QStringLiteral("write error") : text));
}

// Copies the existing file's bytes from `from` on into `out`, in pieces.
bool copyTail(const QString& path, qint64 from, QFileDevice& out) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly) || in.size() <= from) return true;
  if (!in.seek(from)) return false;
  constexpr qint64 kPiece = 64 * 1024;
  while (!in.atEnd()) {
    const QByteArray piece = in.read(kPiece);
    if (in.error() != QFileDevice::NoError) return false;
    if (piece.isEmpty()) break;
    if (out.write(piece) != piece.size()) return false;
  }
  return true;
}

// The folder refuses new files but the file itself may be written: rewrite
// it in place. The old content is read first and written back when the new
// one does not fit, so the file is never left half new.
void writeInPlace(const QString& path, const QByteArray& bytes, qint64 keepTailFrom) {
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite)) throw writeFailure(path, f, errno);
  const QByteArray old = f.readAll();
  QByteArray content = bytes;
  if (keepTailFrom >= 0 && old.size() > keepTailFrom) content += old.mid(keepTailFrom);
  const auto put = [&](const QByteArray& b) {
    return f.seek(0) && f.write(b) == b.size() && f.flush() && f.resize(b.size());
  };
  if (put(content)) return;
  const int err = errno;
  const RunError failure = writeFailure(path, f, err);
  f.unsetError();
  put(old);
  throw failure;
}

}  // namespace

void writeFileAtomically(const QString& path, const std::vector<uint8_t>& bytes) {
  writeFileAtomically(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, qint64 keepTailFrom) {
  const QFileInfo info(path);
  if (info.isDir()) throw RunError(kErrPathFileAccess, QStringLiteral("%1: is a folder").arg(path));
  // A device or pipe is written as it is: there is nothing to rename over.
  if (info.exists() && !info.isFile()) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
      throw writeFailure(path, f, errno);
    return;
  }
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    const int err = errno;
    if (info.isFile() && info.isWritable() && !QFileInfo(info.absolutePath()).isWritable()) {
      writeInPlace(path, bytes, keepTailFrom);
      return;
    }
    if (!QFileInfo(info.absolutePath()).isDir())
      throw RunError(kErrPathNotFound, QStringLiteral("%1: no such folder").arg(path));
    throw writeFailure(path, f, err);
  }
  // A small write only reaches the disk at the flush: that is where a full
  // disk shows, so the flush is checked before anything is committed.
  bool ok = f.write(bytes) == bytes.size();
  if (ok && keepTailFrom >= 0) ok = copyTail(path, keepTailFrom, f);
  if (ok) ok = f.flush() && f.error() == QFileDevice::NoError;
  if (!ok) {
    const RunError failure = writeFailure(path, f, errno);
    f.cancelWriting();  // the temporary file is removed, the old file stays
    throw failure;
  }
  if (!f.commit()) throw writeFailure(path, f, errno);
}

DataFiles::DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts,
                     ErrorLog& log, AppPaths paths, UndoHistory& history)
    : image_(image),
      codec_(codec),
      text_(text),
      prompts_(prompts),
      log_(log),
      paths_(std::move(paths)),
      history_(history) {}

DataFiles::DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts,
                     ErrorLog& log, const QString& programDir, UndoHistory& history)
    : DataFiles(image, codec, text, prompts, log, AppPaths::forProgram(programDir), history) {}


QString DataFiles::untitledPath() const { return QDir(paths_.dataDir).filePath(kUntitledFile); }

void DataFiles::redisplayChannels() {
  // Without a grid the channels are still decoded, so `ChTable` follows the image.
  if (hooks.ShowChTblGrid) hooks.ShowChTblGrid();
  else codec_.IicDatToChInfo();
}

void DataFiles::updateStatus() {
  if (hooks.statusChanged) hooks.statusChanged();
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
    if (!prompts_.askYesNo(text_.SoftFace(kTxtNotice), text_.SoftFace(kTxtClearAll))) return;
    image_.CurFilePath = untitledPath();
    updateStatus();
    NewFileSol();
    history_.clear();
  });
}

void DataFiles::setAnVoiceForLanguage() {
  if (!hooks.setAnVoice) return;
  if (text_.language() == kLangEng) hooks.setAnVoice(2);
  else if (text_.language() == kLangChs) hooks.setAnVoice(1);
}

void DataFiles::NewFileSol() {
  guarded(log_, "mdifrmMain->NewFileSol", [&] {
    // The model and band bytes belong to the band choice, not to the data set.
    uint8_t kept[kBandBytesEnd - kModelByteAddr + 1];
    for (int a = kModelByteAddr; a <= kBandBytesEnd; ++a) kept[a - kModelByteAddr] = image_.TempArray.at(a);
    InitTempArray();
    for (int a = kModelByteAddr; a <= kBandBytesEnd; ++a) image_.TempArray.set(a, kept[a - kModelByteAddr]);
    redisplayChannels();
    if (hooks.InitOpt) hooks.InitOpt();
    setAnVoiceForLanguage();
    if (hooks.hideTonePicker) hooks.hideTonePicker();
  });
}

bool DataFiles::OpenFile(const QString& path, FileForm form) {
  const bool loaded = loadFile(path, form);
  if (loaded) history_.clear();
  return loaded;
}

bool DataFiles::loadFile(const QString& pathArg, FileForm form) {
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
      SoftDisplay();
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
    SoftDisplay();
    image_.CurFilePath = path;
    updateStatus();
    loaded = true;
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
    const QString path = prompts_.saveFileName(kDataFileFilter, image_.CurFilePath, QStringLiteral("dat"));
    if (path.isEmpty()) return;
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
    if (hooks.beforeSave) hooks.beforeSave();
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
    updateStatus();
  });
}

void DataFiles::GenerateDatFolder() {
  guarded(log_, "mdifrmMain->GenerateDatFolder", [&] {
    if (!QFileInfo(paths_.dataDir).isDir() && !QDir().mkpath(paths_.dataDir))
      throw RunError(kErrPathFileAccess, QStringLiteral("cannot create %1").arg(paths_.dataDir));
    image_.CurFilePath = untitledPath();
    updateStatus();
  });
}

void DataFiles::RestoreDefaults(int bandPosition) {
  const QString file = bandPosition > 6 ? kDefaultUhfFile : kDefaultVhfFile;
  UndoHistory::Group step(history_);
  loadFile(shippedFile(file));
  setAnVoiceForLanguage();
}

void DataFiles::SoftDisplay() {
  guarded(log_, "modChMem->SoftDisplay", [&] {
    if (hooks.IicDatToModel) hooks.IicDatToModel();
    if (hooks.IicDatToFreRange) hooks.IicDatToFreRange();
    redisplayChannels();
    if (hooks.InitOpt) hooks.InitOpt();
    if (image_.TempArray.at(kModelSignatureAddr) != kModelSignature[0]) {
      for (size_t k = 0; k < kModelSignature.size(); ++k)
        image_.TempArray.set(kModelSignatureAddr + static_cast<long long>(k), kModelSignature[k]);
    }
    if (hooks.voxCheck) hooks.voxCheck();
  });
}

}  // namespace zr
