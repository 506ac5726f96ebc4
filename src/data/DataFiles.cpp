#include "data/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

std::vector<uint8_t> readFileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    const bool exists = QFileInfo::exists(path);
    if (!exists) throw RunError(kErrFileNotFound, QStringLiteral("%1: no such file").arg(path));
    throw RunError(f.error() == QFileDevice::PermissionsError ? kErrPermissionDenied
                                                               : fileErrorCode(f.error(), exists),
                   QStringLiteral("%1: %2").arg(path, f.errorString()));
  }
  if (QFileInfo(path).isDir()) throw RunError(kErrPathFileAccess, QStringLiteral("%1 is a folder").arg(path));
  const QByteArray data = f.readAll();
  if (f.error() != QFileDevice::NoError) throw RunError(kErrDeviceIo, f.errorString());
  return std::vector<uint8_t>(data.begin(), data.end());
}

void writeFileAtomically(const QString& path, const std::vector<uint8_t>& bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) {
    throw RunError(fileErrorCode(f.error(), QFileInfo::exists(path)),
                   QStringLiteral("%1: %2").arg(path, f.errorString()));
  }
  const auto n = f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) {
    f.cancelWriting();
    throw RunError(kErrDeviceIo, QStringLiteral("%1: %2").arg(path, f.errorString()));
  }
  if (!f.commit()) throw RunError(kErrDeviceIo, QStringLiteral("%1: %2").arg(path, f.errorString()));
}

DataFiles::DataFiles(MemoryImage& image, ChannelCodec& codec, const TextTable& text, UserPrompts& prompts,
                     ErrorLog& log, QString programDir, UndoHistory& history)
    : image_(image),
      codec_(codec),
      text_(text),
      prompts_(prompts),
      log_(log),
      programDir_(std::move(programDir)),
      history_(history) {}

QString DataFiles::pathBesideProgram(const QString& name) const { return QDir(programDir_).filePath(name); }

QString DataFiles::untitledPath() const {
  return QDir(QDir(programDir_).filePath(kDataFolder)).filePath(kUntitledFile);
}

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
    const std::vector<uint8_t> file = readFileBytes(pathBesideProgram(kDefaultImageFile));
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

bool DataFiles::OpenFile(const QString& path) {
  const bool loaded = loadFile(path);
  if (loaded) history_.clear();
  return loaded;
}

bool DataFiles::loadFile(const QString& pathArg) {
  bool loaded = false;
  const bool ok = guarded(log_, "mdifrmMain->OpenFile", [&] {
    QString path = pathArg;
    if (path.isEmpty()) {
      path = prompts_.openFileName(kDataFileFilter, image_.CurFilePath);
      if (path.isEmpty()) return;
    }
    // The whole file is read before the image changes, so an unreadable file
    // leaves the image as it was.
    const std::vector<uint8_t> file = readFileBytes(path);
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
  if (!ok || failed)
    prompts_.message(text_.text(kTxtNotice, text_.language()), text_.text(kTxtSaveAsFailed, text_.language()),
                     UserPrompts::Icon::Error);
  return written;
}

bool DataFiles::SaveDatFile() {
  return guarded(log_, "mdifrmMain->SaveDatFile", [&] {
    if (hooks.beforeSave) hooks.beforeSave();
    codec_.ChInfoToIicDat();
    std::vector<uint8_t> content = toDataFile(image_.TempArray);
    for (size_t k = 0; k < kDataSignature.size(); ++k) image_.TempArray.set(static_cast<long long>(k), kDataSignature[k]);
    // An existing longer file keeps its bytes beyond the data file's end.
    const QString path = image_.CurFilePath;
    if (QFileInfo(path).isFile()) {
      const std::vector<uint8_t> old = readFileBytes(path);
      if (old.size() > content.size()) content.insert(content.end(), old.begin() + kDataFileSize, old.end());
    }
    writeFileAtomically(path, content);
    updateStatus();
  });
}

void DataFiles::GenerateDatFolder() {
  guarded(log_, "mdifrmMain->GenerateDatFolder", [&] {
    QDir dir(programDir_);
    if (!QFileInfo(dir.filePath(kDataFolder)).isDir() && !dir.mkpath(kDataFolder))
      throw RunError(kErrPathFileAccess, QStringLiteral("cannot create %1").arg(dir.filePath(kDataFolder)));
    image_.CurFilePath = untitledPath();
    updateStatus();
  });
}

void DataFiles::RestoreDefaults(int bandPosition) {
  const QString file = bandPosition > 6 ? kDefaultUhfFile : kDefaultVhfFile;
  UndoHistory::Group step(history_);
  loadFile(pathBesideProgram(file));
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
