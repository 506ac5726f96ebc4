#include "base/PrivateProfile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <memory>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "base/SafeFile.h"
#include "base/RunError.h"

namespace zr {

namespace {

// The file is handled as bytes: lookups fold ASCII letters only, so UTF-8
// names compare correctly byte by byte, and a write can copy every byte it
// does not change exactly as it was, whatever the file's encoding.

constexpr char kBom[] = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView trimBlanks(QByteArrayView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.sliced(b, e - b);
}

char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// (Qt's lower-casing of bytes changes the ASCII letters only.)
QByteArray foldAscii(QByteArrayView s) { return s.toByteArray().toLower(); }

// Whether `name` folds to `folded` (already folded).
bool foldsTo(QByteArrayView name, QByteArrayView folded) {
  if (name.size() != folded.size()) return false;
  for (qsizetype i = 0; i < name.size(); ++i)
    if (foldAscii(name[i]) != folded[i]) return false;
  return true;
}

// A section or key name as the parsed file holds it: trimmed of blanks,
// in UTF-8, ASCII letters folded to lower case. A name of ASCII characters
// (every name the program reads) is folded straight into a buffer on the
// stack, so a look-up allocates nothing.
class FoldedName {
 public:
  explicit FoldedName(QStringView name) {
    qsizetype b = 0, e = name.size();
    while (b < e && (name[b] == u' ' || name[b] == u'\t')) ++b;
    while (e > b && (name[e - 1] == u' ' || name[e - 1] == u'\t')) --e;
    const QChar* from = name.data() + b;
    const qsizetype n = e - b;
    if (n <= qsizetype(sizeof small_)) {
      // One pass: fold while the characters are ASCII (UTF-8 of themselves).
      qsizetype i = 0;
      for (; i < n; ++i) {
        const char16_t u = from[i].unicode();
        if (u >= 0x80) break;
        small_[i] = foldAscii(static_cast<char>(u));
      }
      if (i == n) {
        key_ = QByteArray::fromRawData(small_, n);
        return;
      }
    }
    key_ = QStringView(from, n).toUtf8().toLower();
  }
  FoldedName(const FoldedName&) = delete;
  FoldedName& operator=(const FoldedName&) = delete;
  // The key for the look-up (it may refer to this object's buffer).
  const QByteArray& key() const { return key_; }

 private:
  char small_[64];
  QByteArray key_;
};

qsizetype bomLength(const QByteArray& data) { return data.startsWith(kBom) ? 3 : 0; }

// One physical line of the file.
struct Line {
  qsizetype begin = 0;       // first byte
  qsizetype contentEnd = 0;  // end of the text, before any "\r\n" / "\n"
  qsizetype next = 0;        // first byte of the following line
  bool hasEol = false;       // ends with a line break
};

enum class Kind { Other, Section, Key };

// What a line is: a section header "[name]", a "key=value" line, or anything
// else (blank, comment, text without "=").
struct Classified {
  Kind kind = Kind::Other;
  QByteArrayView name;      // section name or key, trimmed, original spelling
  qsizetype nameBegin = 0;  // offset of the key in the file (key lines)
  QByteArrayView value;     // everything after the first "=" (key lines)
};

template <class F>
void forEachLine(const QByteArray& data, F&& visit) {
  qsizetype pos = bomLength(data);
  const qsizetype size = data.size();
  while (pos < size) {
    Line line;
    line.begin = pos;
    qsizetype nl = data.indexOf('\n', pos);
    if (nl < 0) nl = size;
    line.hasEol = nl < size;
    line.next = line.hasEol ? nl + 1 : size;
    line.contentEnd = nl;
    if (line.contentEnd > line.begin && data[line.contentEnd - 1] == '\r') --line.contentEnd;
    if (!visit(line)) return;
    pos = line.next;
  }
}

Classified classify(const QByteArray& data, const Line& line) {
  Classified c;
  const QByteArrayView text(data.constData() + line.begin, line.contentEnd - line.begin);
  qsizetype i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  if (i == text.size() || text[i] == ';' || text[i] == '#') return c;
  if (text[i] == '[') {
    const qsizetype close = text.indexOf(']', i + 1);
    if (close < 0) return c;
    c.kind = Kind::Section;
    c.name = trimBlanks(text.sliced(i + 1, close - i - 1));
    return c;
  }
  const qsizetype eq = text.indexOf('=', i);
  if (eq < 0) return c;
  c.name = trimBlanks(text.sliced(i, eq - i));
  if (c.name.isEmpty()) return c;
  c.kind = Kind::Key;
  c.nameBegin = line.begin + i;
  c.value = text.sliced(eq + 1);
  return c;
}

// The text a value reads as before any cut: trimmed of blanks, and without
// the double quotes when it is wrapped in them.
QString valueText(QByteArrayView value) {
  QByteArrayView raw = trimBlanks(value);
  if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') raw = raw.sliced(1, raw.size() - 2);
  return QString::fromUtf8(raw);
}

// Folded section name -> folded key -> value text; the first occurrence of a
// section and of a key within it wins, keys before any section are ignored.
// The values are decoded once, here: a read hands out the parsed text
// itself (shared, not copied) when it needs no cut and no trim.
using Sections = QHash<QByteArray, QHash<QByteArray, QString>>;

Sections parse(const QByteArray& data) {
  Sections sections;
  QHash<QByteArray, QString>* current = nullptr;
  forEachLine(data, [&](const Line& line) {
    const Classified c = classify(data, line);
    if (c.kind == Kind::Section) {
      const QByteArray name = foldAscii(c.name);
      current = sections.contains(name) ? nullptr : &sections[name];
    } else if (c.kind == Kind::Key && current) {
      const QByteArray key = foldAscii(c.name);
      if (!current->contains(key)) current->insert(key, valueText(c.value));
    }
    return true;
  });
  return sections;
}

// Parsed files, keyed by path. Start-up reads several hundred keys, each of
// which would otherwise read and parse the whole file again; a read instead
// looks at the file's identity (device, inode, size, modification and change
// times to the nanosecond) and uses the parsed file while that stays the same.
//
// The file clock advances in ticks (milliseconds on most Linux file systems,
// two seconds on FAT), so a file rewritten in place within the tick of the
// version we read, to the same size, keeps every time it had. Such a change
// can only happen while the last change is recent: until the file's change
// time lies a safe margin before a read began, each read compares the file's
// bytes with the ones parsed (cheap for a file of a few kilobytes) and parses
// again only when they differ.
constexpr qint64 kSettledAfterNs = 3'000'000'000;  // more than FAT's two-second tick

struct Stamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  qint64 modifiedNs = 0;
  qint64 changedNs = 0;
  bool operator==(const Stamp&) const = default;
};

qint64 nanoseconds(const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

// The identity of a regular file (followed through links); nothing for
// anything else.
std::optional<Stamp> stampOf(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  return Stamp{st.st_dev, st.st_ino, st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

std::optional<Stamp> stampOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
  return stampOf(st);
}

qint64 nowNs() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return nanoseconds(t);
}

// Reads a whole regular file with plain system calls (a QFile costs more
// than the read of a small configuration file); `st` tells what the open
// file is. False when it cannot be opened or read or is no regular file.
bool readWhole(const QString& path, struct stat& st, QByteArray& out) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    // Room for the whole file and one byte more, so the read that finds
    // the end needs no second buffer.
    out.resize(qsizetype(st.st_size) + 1);
    qsizetype have = 0;
    for (;;) {
      if (have == out.size()) out.resize(out.size() + 4096);  // the file grew meanwhile
      const ssize_t n = ::read(fd, out.data() + have, size_t(out.size() - have));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      have += n;
    }
    out.resize(have);
  }
  ::close(fd);
  return ok;
}

struct CacheEntry {
  Stamp stamp;
  QByteArray bytes;  // what was parsed, to compare with while not settled
  std::shared_ptr<const Sections> sections;
  // The file's last change lay well before the read: any later change moves
  // its change time, so an equal stamp means equal bytes.
  bool settled = false;
  int snapshots = 0;  // live Snapshots of the file
  // The live snapshots' version: checked against the file by the first read
  // since the first of them began (or since a write).
  bool snapshotChecked = false;
};

QMutex cacheMutex;
QHash<QString, CacheEntry>& cache() {
  static QHash<QString, CacheEntry> c;
  return c;
}
constexpr int kMaxCachedFiles = 16;

// Drops what is known of the file's contents (a snapshot stays, empty).
void forget(const QString& path) {
  QMutexLocker lock(&cacheMutex);
  auto it = cache().find(path);
  if (it == cache().end()) return;
  if (it->snapshots > 0) {
    const int snapshots = it->snapshots;
    *it = CacheEntry{};
    it->snapshots = snapshots;  // the next read looks at the file again
  } else {
    cache().erase(it);
  }
}

// The parsed file, or null when it is missing or unreadable.
std::shared_ptr<const Sections> load(const QString& path) {
  std::shared_ptr<const Sections> known;
  QByteArray knownBytes;
  {
    QMutexLocker lock(&cacheMutex);
    auto it = cache().constFind(path);
    // A snapshot answers without looking at the file, once one read has.
    if (it != cache().constEnd() && it->snapshots > 0 && it->snapshotChecked && it->sections) return it->sections;
  }
  const std::optional<Stamp> seen = stampOf(path);
  if (!seen) {
    forget(path);
    return nullptr;
  }
  {
    QMutexLocker lock(&cacheMutex);
    auto it = cache().find(path);
    if (it != cache().end() && it->sections && it->stamp == *seen) {
      if (it->settled) {
        it->snapshotChecked = it->snapshots > 0;
        return it->sections;
      }
      known = it->sections;
      knownBytes = it->bytes;
    }
  }

  // The time is taken before the file is looked at, so that a change during
  // the read counts as recent.
  const qint64 readStart = nowNs();
  struct stat st {};
  QByteArray data;
  if (!readWhole(path, st, data)) return nullptr;
  const std::optional<Stamp> stamp = stampOf(st);
  auto sections = known && data == knownBytes ? known : std::make_shared<const Sections>(parse(data));

  QMutexLocker lock(&cacheMutex);
  if (cache().size() >= kMaxCachedFiles && !cache().contains(path)) {
    for (auto it = cache().begin(); it != cache().end();) it = it->snapshots > 0 ? std::next(it) : cache().erase(it);
  }
  // Only bytes that belong to the stamp are kept (a file growing while it
  // was read is read again next time).
  if (data.size() == stamp->size) {
    CacheEntry& e = cache()[path];
    e.stamp = *stamp;
    e.bytes = data;
    e.sections = sections;
    e.settled = readStart - stamp->changedNs > kSettledAfterNs;
    e.snapshotChecked = e.snapshots > 0;
  }
  return sections;
}

// Cuts a text to `maxChars` characters without splitting a surrogate pair.
QString cutChars(const QString& s, int maxChars) {
  if (maxChars <= 0) return {};
  qsizetype i = 0;
  for (int n = 0; n < maxChars && i < s.size(); ++n)
    i += (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ? 2 : 1;
  return s.left(i);
}

QString trimmedBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t')) --e;
  return s.sliced(b, e - b);
}

QByteArray keyLine(const QString& key, const QByteArray& value) { return key.toUtf8() + '=' + value; }

bool hasLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); }

}  // namespace

PrivateProfile::PrivateProfile(QString path) : path_(std::move(path)) {}

PrivateProfile::Snapshot::Snapshot(const PrivateProfile& profile) : path_(profile.path()) {
  if (path_.isEmpty()) return;
  QMutexLocker lock(&cacheMutex);
  CacheEntry& e = cache()[path_];
  if (e.snapshots++ == 0) e.snapshotChecked = false;
}

PrivateProfile::Snapshot::~Snapshot() {
  if (path_.isEmpty()) return;
  QMutexLocker lock(&cacheMutex);
  auto it = cache().find(path_);
  if (it == cache().end()) return;
  // What the snapshot held is looked at again by the next read unless the
  // file's stamp shows it settled.
  if (--it->snapshots == 0 && !it->sections) cache().erase(it);
}

namespace {

// A key's value from its section: trimmed of blanks, cut to `maxChars`
// characters and trimmed again; `def` when the key is missing.
QString valueOf(const QHash<QByteArray, QString>& keys, const QByteArray& foldedKey, const QString& def,
                int maxChars) {
  const auto val = keys.constFind(foldedKey);
  if (val == keys.constEnd()) return def;
  // A value wrapped in double quotes is given without them (see valueText).
  const QString& text = *val;
  const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
  if (!text.isEmpty() && text.size() <= maxChars && !blank(text.front()) && !blank(text.back())) return text;
  return trimmedBlanks(cutChars(text, maxChars));
}

}  // namespace

QString PrivateProfile::GetString(QStringView section, QStringView key, const QString& def, int maxChars) const {
  if (path_.isEmpty()) return def;
  const auto sections = load(path_);
  if (!sections) return def;
  const auto sec = sections->constFind(FoldedName(section).key());
  if (sec == sections->constEnd()) return def;
  return valueOf(*sec, FoldedName(key).key(), def, maxChars);
}

PrivateProfile::Section PrivateProfile::section(QStringView name) const {
  Section s;
  if (path_.isEmpty()) return s;
  const auto sections = load(path_);
  if (!sections) return s;
  const auto sec = sections->constFind(FoldedName(name).key());
  // The section's keys share the ownership of the whole parsed file.
  if (sec != sections->constEnd()) s.keys_ = std::shared_ptr<const QHash<QByteArray, QString>>(sections, &*sec);
  return s;
}

QString PrivateProfile::Section::GetString(QStringView key, const QString& def, int maxChars) const {
  return keys_ ? valueOf(*keys_, FoldedName(key).key(), def, maxChars) : def;
}

QString PrivateProfile::Section::GetString(int key, const QString& def, int maxChars) const {
  if (!keys_) return def;
  // Written out in decimal on the stack: digits need no folding.
  char digits[12];
  qsizetype begin = sizeof digits;
  unsigned v = key < 0 ? 0u - static_cast<unsigned>(key) : static_cast<unsigned>(key);
  do {
    digits[--begin] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  if (key < 0) digits[--begin] = '-';
  return valueOf(*keys_, QByteArray::fromRawData(digits + begin, qsizetype(sizeof digits) - begin), def, maxChars);
}

bool PrivateProfile::WriteString(const QString& section, const QString& key, const QString& value,
                                 QString* why) const {
  const auto fail = [why](const QString& cause) {
    if (why) *why = cause;
    return false;
  };
  // A failure on the file itself also goes to the write-failure handler.
  const auto fileFailure = [&](const QString& cause) {
    fail(cause);
    const QString own = path_ + QStringLiteral(": ");
    return reportWriteFailure(cause.startsWith(own) ? cause.mid(own.size()) : cause);
  };
  if (path_.isEmpty()) return fail(QStringLiteral("no configuration file"));
  const QString sec = trimmedBlanks(section);
  const QString k = trimmedBlanks(key);
  // Names and values that could not be read back as written (or would split
  // the line and so inject other keys) are refused.
  if (sec.isEmpty() || k.isEmpty() || hasLineBreak(sec) || hasLineBreak(k) || hasLineBreak(value) ||
      sec.contains(u']') || k.contains(u'=') || k.startsWith(u'[') || k.startsWith(u';') ||
      k.startsWith(u'#'))
    return fail(QStringLiteral("%1: %2 cannot be stored").arg(path_, k));

  QByteArray data;
  {
    QFile file(path_);
    if (file.exists()) {
      // A file that exists but cannot be read is never replaced.
      if (!file.open(QIODevice::ReadOnly) || (data = file.readAll(), file.error() != QFileDevice::NoError)) {
        return fileFailure(QStringLiteral("%1: %2").arg(path_, file.errorString()));
      }
    }
  }

  const QByteArray wantSection = foldAscii(sec.toUtf8());
  const QByteArray wantKey = foldAscii(k.toUtf8());
  const QByteArray valueBytes = value.toUtf8();

  // The file's own line break: that of its first line; CRLF for a file without one.
  QByteArray eol = "\r\n";
  if (const qsizetype nl = data.indexOf('\n'); nl >= 0) eol = (nl > 0 && data[nl - 1] == '\r') ? "\r\n" : "\n";

  bool seenSection = false, inSection = false, done = false;
  Line anchor;  // the line after which a missing key goes
  QByteArray out;
  forEachLine(data, [&](const Line& line) {
    const Classified c = classify(data, line);
    if (c.kind == Kind::Section) {
      if (inSection) return false;  // left the section without finding the key
      if (!seenSection && foldsTo(c.name, wantSection)) {
        seenSection = inSection = true;
        anchor = line;
      }
    } else if (c.kind == Kind::Key && inSection) {
      if (foldsTo(c.name, wantKey)) {
        // Rewrite this line from the key on; its indentation and line break stay.
        out = data.left(c.nameBegin);
        out += c.name.toByteArray();
        out += '=';
        out += valueBytes;
        out += data.mid(line.contentEnd);
        done = true;
        return false;
      }
      anchor = line;
    }
    return true;
  });

  if (!done && seenSection) {
    const QByteArray line = keyLine(k, valueBytes);
    if (anchor.hasEol) {
      out = data.left(anchor.next) + line + eol + data.mid(anchor.next);
    } else {  // the anchor is the last line and has no line break
      out = data + eol + line;
    }
  } else if (!done) {
    out = data;
    if (out.size() > bomLength(out) && !out.endsWith('\n')) out += eol;
    out += '[' + sec.toUtf8() + ']' + eol + keyLine(k, valueBytes) + eol;
  }

  // Written beside the file and renamed over it: a failure leaves the old file whole.
  bool ok = true;
  QString cause;
  try {
    writeFileAtomically(path_, out);
  } catch (const RunError& e) {
    ok = false;
    cause = e.detail();
  }
  forget(path_);
  if (!ok) return fileFailure(cause);
  return true;
}

bool PrivateProfile::reportWriteFailure(const QString& cause) const {
  emit writeFailed(path_, cause);
  return false;
}

}  // namespace zr
