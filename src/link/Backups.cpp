#include "link/Backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "data/DataFiles.h"
#include "data/MemoryImage.h"
#include "base/RunError.h"

namespace zr {

namespace {

const QString kRawSuffix = QStringLiteral(".bin");
const QString kDatSuffix = QStringLiteral(".dat");

// A text that is safe in a file name: letters, digits, dots and dashes.
QString namePart(const QString& text) {
  static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9.]+"));
  static const QRegularExpression outerDashes(QStringLiteral("^-+|-+$"));
  QString s = text;
  s.replace(unsafe, QStringLiteral("-"));
  s.remove(outerDashes);
  return s.isEmpty() ? QStringLiteral("unknown") : s;
}

}  // namespace

Backups::Backups(QString folder, int keep) : folder_(std::move(folder)), keep_(keep) {}

BackupCopy Backups::store(const QString& kind, const ByteArray& image, const QString& model, const QString& band,
                          const QDateTime& when) {
  BackupCopy copy;
  if (folder_.isEmpty()) {
    copy.failure = QStringLiteral("no backup folder");
    return copy;
  }
  if (!QDir().mkpath(folder_)) {
    copy.failure = QStringLiteral("%1: cannot create the folder").arg(folder_);
    return copy;
  }
  const QString base = QStringLiteral("%1_%2_%3_%4")
                           .arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")), namePart(kind),
                                namePart(model), namePart(band));
  const QDir dir(folder_);
  copy.rawPath = dir.filePath(base + kRawSuffix);
  copy.datPath = dir.filePath(base + kDatSuffix);
  try {
    writeFileAtomically(copy.rawPath, image.bytes());
    if (image.upperBound() >= kRealignEnd) writeFileAtomically(copy.datPath, toDataFile(image));
    else copy.datPath.clear();
  } catch (const RunError& e) {
    copy.failure = e.detail();
    QFile::remove(copy.rawPath);
    if (!copy.datPath.isEmpty()) QFile::remove(copy.datPath);
    return copy;
  }
  prune();
  return copy;
}

QStringList Backups::copies() const {
  QStringList bases;
  const QStringList files = QDir(folder_).entryList({QStringLiteral("*") + kRawSuffix}, QDir::Files, QDir::Name);
  for (const QString& f : files) bases << f.chopped(kRawSuffix.size());
  return bases;
}

void Backups::prune() {
  const QStringList bases = copies();
  QDir dir(folder_);
  for (qsizetype i = 0; i + keep_ < bases.size(); ++i) {
    dir.remove(bases[i] + kRawSuffix);
    dir.remove(bases[i] + kDatSuffix);
  }
}

}  // namespace zr
