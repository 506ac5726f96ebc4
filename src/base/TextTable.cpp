#include "base/TextTable.h"

#include <QFile>

#include "base/RunError.h"

// The table is compiled into the core library as a Qt resource. The library is
// static, so the resource's registration object would otherwise be dropped by
// the linker; register it explicitly (this must happen outside any namespace).
static void initCoreResources() { Q_INIT_RESOURCE(core); }

namespace zr {

namespace {

constexpr int kLangCount = 3;

int normalisedLang(int code) { return (code >= kLangChs && code <= kLangEng) ? code : kLangEng; }

// Undo the field escapes; an unknown escape keeps its backslash.
QString unescapeField(QStringView field) {
  QString out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    const QChar c = field[i];
    if (c != u'\\' || i + 1 >= field.size()) {
      out += c;
      continue;
    }
    const QChar next = field[i + 1];
    if (next == u'n') {
      out += u'\n';
    } else if (next == u't') {
      out += u'\t';
    } else if (next == u'\\') {
      out += u'\\';
    } else {
      out += c;
      continue;  // the next character is copied on its own turn
    }
    ++i;
  }
  return out;
}

const std::vector<std::array<QString, 3>>& builtInTable() {
  static const std::vector<std::array<QString, 3>> table = [] {
    initCoreResources();
    QFile file(QStringLiteral(":/text/softface.tsv"));
    QString text;
    if (file.open(QIODevice::ReadOnly)) text = QString::fromUtf8(file.readAll());
    return parseSoftFaceTable(text);
  }();
  return table;
}

}  // namespace

std::vector<std::array<QString, 3>> parseSoftFaceTable(const QString& tsv) {
  std::vector<std::array<QString, 3>> rows(TextTable::kSlots);
  const QStringView all(tsv);
  qsizetype start = 0;
  while (start <= all.size()) {
    qsizetype end = all.indexOf(u'\n', start);
    if (end < 0) end = all.size();
    QStringView line = all.mid(start, end - start);
    start = end + 1;
    if (line.endsWith(u'\r')) line.chop(1);  // tolerate a file saved with CR LF
    if (line.isEmpty() || line.startsWith(u'#')) continue;

    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() != 1 + kLangCount) continue;
    bool ok = false;
    const int entry = fields[0].toInt(&ok);
    if (!ok || entry < 0 || entry >= TextTable::kSlots) continue;
    for (int lang = 0; lang < kLangCount; ++lang) rows[entry][lang] = unescapeField(fields[1 + lang]);
  }
  return rows;
}

TextTable::TextTable() : all_(builtInTable()) {
  int english = kLangEng;
  LoadSoftFace(english);
}

void TextTable::LoadSoftFace(int& CurLang) {
  CurLang = normalisedLang(CurLang);
  lang_ = CurLang;
  current_.assign(kSlots, QString());
  for (int entry = 0; entry < kSlots && entry < static_cast<int>(all_.size()); ++entry)
    current_[entry] = all_[entry][lang_ - 1];
}

const QString& TextTable::SoftFace(int entry) const {
  if (entry < 0 || entry >= static_cast<int>(current_.size())) throwSubscript("SoftFace", entry, 0, kSlots - 1);
  return current_[entry];
}

QString TextTable::text(int entry, int lang) const {
  if (entry < 0 || entry >= static_cast<int>(all_.size())) return QString();
  return all_[entry][normalisedLang(lang) - 1];
}

}  // namespace zr
