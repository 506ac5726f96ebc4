#pragma once
// A small file system of its own (a tmpfs mounted over a temporary folder),
// so a test can fill it and watch what a save does on a full disk. Mounting
// needs the right to mount; without it the tests skip with a message.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace zr::test {

class SmallDisk {
 public:
  SmallDisk() {
    if (!dir_.isValid()) return;
    const QByteArray where = QFile::encodeName(dir_.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k,mode=0777") == 0) mounted_ = true;
    else why_ = QString::fromLocal8Bit(std::strerror(errno));
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  // Why the mount was refused (for the skip message).
  const QString& why() const { return why_; }
  QString filePath(const QString& name) const { return QDir(dir_.path()).filePath(name); }
  QString path() const { return dir_.path(); }

  // Fills every free byte with one filler file, until the disk refuses more.
  void fill() {
    QFile f(filePath(QStringLiteral(".filler")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
    const QByteArray piece(512, 'x');
    while (f.write(piece) == piece.size()) {
    }
    const QByteArray byte(1, 'x');
    while (f.write(byte) == 1) {
    }
  }
  // The names in the folder besides the filler (left-over temporary files show here).
  QStringList entries() const {
    QStringList names = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral(".filler"));
    return names;
  }

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
  QString why_;
};

#define ZR_NEED_SMALL_DISK(disk)                                                           \
  if (!(disk).mounted())                                                                    \
  GTEST_SKIP() << "cannot mount a small tmpfs here (" << (disk).why().toStdString()        \
               << "); the full-disk behaviour is not tested"

}  // namespace zr::test
