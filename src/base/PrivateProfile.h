#pragma once
// Our own reader and writer of an INI-style configuration file ("private
// profile"): sections in brackets, key=value lines, keys and sections matched
// case-insensitively. Writing a key rewrites only that line and keeps every
// other byte of the file (comments, blank lines, order, line endings).
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

namespace zr {

class PrivateProfile : public QObject {
  Q_OBJECT
 public:
  explicit PrivateProfile(QString path = QString());

  const QString& path() const { return path_; }
  void setPath(const QString& path) { path_ = path; }

  // The key's value trimmed of surrounding blanks and cut to `maxChars`
  // characters; `def` when the file, the section or the key is missing.
  QString GetString(QStringView section, QStringView key, const QString& def, int maxChars) const;
  QString GetString(const QString& section, const QString& key, const QString& def, int maxChars) const {
    return GetString(QStringView(section), QStringView(key), def, maxChars);
  }

  // The keys of one section as the file holds them when this is called, for
  // a reader of many keys of one section (the channel column definitions are
  // a thousand): each read answers as GetString would, without looking at
  // the file again.
  class Section {
   public:
    QString GetString(QStringView key, const QString& def, int maxChars) const;
    // A key that is a number ("3000"), written out in decimal.
    QString GetString(int key, const QString& def, int maxChars) const;

   private:
    friend class PrivateProfile;
    // Folded key -> value text, within the parsed file it keeps; null when
    // the file or the section is missing.
    std::shared_ptr<const QHash<QByteArray, QString>> keys_;
  };
  Section section(QStringView name) const;
  // Writes one key; creates the file, section or key when missing. Returns
  // false when the file cannot be written, and then puts the cause ("PATH:
  // disk full", "PATH: permission denied") into `why` when given. A failed
  // write leaves the file as it was.
  bool WriteString(const QString& section, const QString& key, const QString& value, QString* why = nullptr) const;

  // While a Snapshot of a file lives, reads of that file anywhere in this
  // process look at the file once and then answer from what they read: the
  // start-up's several hundred reads see one version of the file and cost one
  // look at it. A write through any PrivateProfile of the file drops what the
  // snapshot holds, so the next read looks at the file again. Snapshots nest.
  class Snapshot {
   public:
    explicit Snapshot(const PrivateProfile& profile);
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

   private:
    QString path_;
  };

 signals:
  // A write failed on the file itself (not a refused key name): the file's
  // path and the cause.
  void writeFailed(const QString& path, const QString& cause) const;

 private:
  bool reportWriteFailure(const QString& cause) const;

  QString path_;
};

}  // namespace zr
