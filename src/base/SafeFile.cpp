#include "base/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/RunError.h"

namespace zr {

namespace {
// What a file that is not a regular file is, in words for a user.
QString notRegularWhat(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a folder");
  if (S_ISFIFO(mode)) return QStringLiteral("a pipe (FIFO)");
  if (S_ISSOCK(mode)) return QStringLiteral("a socket");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
  return QStringLiteral("not a regular file");
}
}  // namespace

std::vector<uint8_t> readFileBytes(const QString& path, qint64 maxBytes) {
  if (path.isEmpty()) throw RunError(kErrFileNotFound, QStringLiteral("no file name given"));
  // Opened without blocking, then asked what it is through the same handle:
  // a pipe, a device or a folder is refused at once instead of waited on,
  // and nothing can swap the file between the check and the read.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) throw RunError(kErrFileNotFound, QStringLiteral("%1: no such file").arg(path));
    if (err == EACCES || err == EPERM)
      throw RunError(kErrPermissionDenied, QStringLiteral("%1: permission denied").arg(path));
    throw RunError(kErrPathFileAccess, QStringLiteral("%1: %2").arg(path, qt_error_string(err)));
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const mode_t mode = st.st_mode;
    ::close(fd);
    throw RunError(kErrPathFileAccess,
                   QStringLiteral("%1 is %2, not a file; give a regular file").arg(path, notRegularWhat(mode)));
  }
  QFile f;
  if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    throw RunError(kErrDeviceIo, QStringLiteral("%1: %2").arg(path, f.errorString()));
  }
  // A limit is read as far as the file goes, in pieces the size of the file:
  // a read of the whole limit at once would first take a buffer of the limit
  // (a megabyte to check a 1040-byte data file).
  QByteArray data;
  if (maxBytes < 0) {
    data = f.readAll();
  } else {
    const qint64 piece = std::clamp<qint64>(static_cast<qint64>(st.st_size) + 1, 1, 1 << 16);
    while (data.size() < maxBytes) {
      const QByteArray more = f.read(std::min<qint64>(piece, maxBytes - data.size()));
      if (more.isEmpty()) break;
      data += more;
    }
  }
  if (f.error() != QFileDevice::NoError) throw RunError(kErrDeviceIo, QStringLiteral("%1: %2").arg(path, f.errorString()));
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

// In a sticky world-writable folder such as /tmp anybody can plant a link
// named like the file a user is about to save. The kernel refuses to follow
// such a link when it belongs to neither the user nor the folder's owner
// (protected links); the save renames over the link's target itself, so it
// keeps the same rule. The user's own links are followed as always.
void refuseForeignLinkInSharedFolder(const QString& path) {
  struct stat link {}, folder {};
  if (::lstat(QFile::encodeName(path).constData(), &link) != 0 || !S_ISLNK(link.st_mode)) return;
  const QString dir = QFileInfo(path).absolutePath();
  if (::stat(QFile::encodeName(dir).constData(), &folder) != 0) return;
  const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
  if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
    throw RunError(kErrPermissionDenied,
                   QStringLiteral("%1: will not follow a link owned by another user in a shared folder").arg(path));
}

}  // namespace

void writeFileAtomically(const QString& path, const std::vector<uint8_t>& bytes) {
  writeFileAtomically(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, qint64 keepTailFrom) {
  const QFileInfo info(path);
  if (info.isDir()) throw RunError(kErrPathFileAccess, QStringLiteral("%1: is a folder").arg(path));
  // A pipe or a device could block the program for ever (nobody reads the
  // pipe) or send bytes to somebody's hardware: only regular files are written.
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
    throw RunError(kErrPathFileAccess,
                   QStringLiteral("%1 is %2, not a file; give a regular file").arg(path, notRegularWhat(st.st_mode)));
  refuseForeignLinkInSharedFolder(path);
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

}  // namespace zr
