#pragma once
// Copies of everything that comes out of or goes into a radio. Every good
// read and every write leaves the whole image as raw bytes (.bin) and as a
// data file (.dat) in the backups folder, named so that the names sort by
// time and tell the radio's model and band:
//
//   20261210-141502-123_read_ZR-417_400-520MHz.bin / .dat
//
// Only the newest copies are kept. A copy that cannot be written is reported
// by the caller and never fails the transfer itself.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "data/ByteArray.h"

namespace zr {

struct BackupCopy {
  QString rawPath;  // the raw image
  QString datPath;  // the same as a data file
  QString failure;  // why no copy was written; empty when both were
  bool ok() const { return failure.isEmpty(); }
};

class Backups {
 public:
  static constexpr int kKeptCopies = 200;

  explicit Backups(QString folder, int keep = kKeptCopies);

  const QString& folder() const { return folder_; }

  // Stores one copy of `image`. `kind` says what happened ("read",
  // "write"); `model` and `band` are the texts the model and band lists show.
  BackupCopy store(const QString& kind, const ByteArray& image, const QString& model, const QString& band,
                   const QDateTime& when = QDateTime::currentDateTime());

  // Base names of the stored copies, oldest first.
  QStringList copies() const;

 private:
  void prune();

  QString folder_;
  int keep_;
};

}  // namespace zr
