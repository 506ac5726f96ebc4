#include "editors/ChannelCsv.h"

#include <QRegularExpression>

#include "editors/Editors.h"
#include "editors/GridColumns.h"

namespace zr {

namespace {


// The column captions; `guarded` for export (csvText), plain for matching an
// imported header, which parseCsv has already unguarded.
QStringList header(const Editors& e, bool guarded = false) {
  QStringList h{QStringLiteral("Channel"), QStringLiteral("Rx"), QStringLiteral("Tx"), QStringLiteral("Decode"),
                QStringLiteral("Encode")};
  const QStringList captions = e.core.columns.captions();
  for (int j = kColFirstOption; j <= e.core.columns.columnCount && j < ChannelTable::kRows; ++j) {
    const QString caption = j < captions.size() ? captions[j].trimmed() : QStringLiteral("Column %1").arg(j);
    h << (guarded ? csvText(caption) : caption);
  }
  return h;
}

// A frequency as a spreadsheet writes it with a decimal comma ("146,52")
// reads as the grid's decimal point.
QString frequencyText(const QString& cell) {
  static const QRegularExpression decimalComma(QStringLiteral("^\\s*\\d+,\\d*\\s*$"));
  if (!decimalComma.match(cell).hasMatch()) return cell;
  return QString(cell).replace(u',', u'.');
}

bool isFormulaStart(QChar c) { return c == u'=' || c == u'+' || c == u'-' || c == u'@'; }

}  // namespace

QString csvText(const QString& text) {
  if (text.isEmpty() || !isFormulaStart(text[0])) return text;
  bool number = false;
  text.toDouble(&number);
  return number ? text : u'\'' + text;
}

QChar csvDelimiter(const QString& text) {
  int commas = 0, semicolons = 0;
  bool quoted = false;
  for (const QChar c : text) {
    if (c == u'"') quoted = !quoted;
    if (quoted) continue;
    if (c == u'\n' || c == u'\r') break;
    if (c == u'\t') return u'\t';
    if (c == u',') ++commas;
    if (c == u';') ++semicolons;
  }
  return semicolons > commas ? u';' : u',';
}

std::vector<QStringList> parseCsv(const QString& text, std::vector<int>* firstLines, QChar delimiter) {
  std::vector<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false, fieldStarted = false;
  int line = 1, rowLine = 1;  // the line being read, the line the row started on
  // A field and a row start with room for what most hold, so that reading
  // them character by character and field by field seldom grows them.
  constexpr qsizetype kFieldRoom = 32;
  field.reserve(kFieldRoom);
  auto endField = [&] {
    if (field.size() >= 2 && field[0] == u'\'' && isFormulaStart(field[1])) field.remove(0, 1);
    row << field;
    field = QString();
    field.reserve(kFieldRoom);
    fieldStarted = false;
  };
  auto endRow = [&] {
    endField();
    const qsizetype fields = row.size();
    if (!(row.size() == 1 && row[0].isEmpty())) {
      rows.push_back(std::move(row));
      if (firstLines) firstLines->push_back(rowLine);
    }
    row = QStringList();
    row.reserve(fields);
  };
  // Spreadsheets often start a UTF-8 file with a byte order mark.
  for (int i = text.startsWith(QChar(0xFEFF)) ? 1 : 0; i < text.size(); ++i) {
    const QChar c = text[i];
    // A line ends at LF, at CR LF (counted at its LF) and at a lone CR.
    const bool lineEnd = c == u'\n' || (c == u'\r' && !(i + 1 < text.size() && text[i + 1] == u'\n'));
    if (lineEnd) ++line;
    if (quoted) {
      if (c == u'"') {
        if (i + 1 < text.size() && text[i + 1] == u'"') {
          field += u'"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field += c;
      }
    } else if (c == u'"' && !fieldStarted) {
      quoted = true;
      fieldStarted = true;
    } else if (c == delimiter) {
      endField();
    } else if (c == u'\n') {
      endRow();
      rowLine = line;
    } else if (c == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') continue;
      endRow();
      rowLine = line;
    } else {
      field += c;
      fieldStarted = true;
    }
  }
  if (!field.isEmpty() || !row.isEmpty()) endRow();
  return rows;
}

QString csvLine(const QStringList& fields) {
  qsizetype room = fields.size();
  for (const QString& f : fields) room += f.size() + 2;
  QString out;
  out.reserve(room);
  for (qsizetype k = 0; k < fields.size(); ++k) {
    const QString& f = fields[k];
    if (k > 0) out += u',';
    if (f.contains(u',') || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r')) {
      QString q = f;
      q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
      out += u'"' + q + u'"';
    } else {
      out += f;
    }
  }
  return out;
}

QString exportChannelsCsv(Editors& e) {
  const Core& c = e.core;
  const QStringList captions = header(e, true);
  QString out = csvLine(captions) + u'\n';
  for (int ch = 1; ch <= c.columns.channelCount && ch <= ChannelTable::kChannels; ++ch) {
    QStringList f{QString::number(ch)};
    f.reserve(captions.size());
    const int rx = c.ChTable.get(kRowRx, ch);
    if (rx == -1) {
      for (qsizetype k = 1; k < captions.size(); ++k) f << QString();
    } else {
      const int tx = c.ChTable.get(kRowTx, ch);
      f << ChannelGrid::mhzText(rx) << ChannelGrid::mhzText(tx) << csvText(c.ChTable.decodeTone(ch))
        << (tx == -1 ? QString() : csvText(c.ChTable.encodeTone(ch)));
      for (int j = kColFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j)
        f << csvText(c.columns.optionText(j, c.ChTable.get(j, ch)));
    }
    out += csvLine(f) + u'\n';
  }
  return out;
}

bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems) {
  Core& c = e.core;
  std::vector<int> fileLines;
  const std::vector<QStringList> rows = parseCsv(csv, &fileLines, csvDelimiter(csv));
  const QStringList captions = header(e);
  if (rows.empty()) {
    problems.push_back({1, QString(), QStringLiteral("the file is empty")});
    return false;
  }
  // Columns by caption, in any order, as a paste takes them: column[k] is the
  // grid column of field k of a row, -1 for a field that is left out.
  const QStringList& head = rows[0];
  const int headLine = fileLines.empty() ? 1 : fileLines[0];
  std::vector<int> column(static_cast<size_t>(head.size()), -1);
  std::vector<int> fieldOf(static_cast<size_t>(captions.size()), -1);
  for (int k = 0; k < head.size(); ++k) {
    const QString caption = head[k].trimmed();
    int at = -1;
    for (int j = 0; j < captions.size() && at < 0; ++j)
      if (captions[j].compare(caption, Qt::CaseInsensitive) == 0) at = j;
    if (at < 0) {
      // A trailing delimiter gives a last column without a caption.
      if (!caption.isEmpty()) problems.push_back({headLine, head[k], QStringLiteral("no such column; its cells are left out")});
      continue;
    }
    if (fieldOf[static_cast<size_t>(at)] >= 0) {
      problems.push_back({headLine, head[k], QStringLiteral("the column appears twice; the second is left out")});
      continue;
    }
    column[static_cast<size_t>(k)] = at;
    fieldOf[static_cast<size_t>(at)] = k;
  }
  if (fieldOf[0] < 0 || fieldOf[kColRx] < 0) {
    problems.push_back({headLine, QString(),
                        QStringLiteral("the header must name the columns %1 and %2 (others as needed: %3)")
                            .arg(captions[0], captions[kColRx], captions.mid(kColTx).join(QStringLiteral(", ")))});
    return false;
  }

  const int n = std::min(c.columns.channelCount, ChannelTable::kChannels);
  GridEntry entry(e, problems);
  for (size_t line = 1; line < rows.size(); ++line) {
    const QStringList& f = rows[line];
    entry.setLine(line < fileLines.size() ? fileLines[line] : static_cast<int>(line) + 1);
    // The cell of grid column j; `present` is false when the file has no such column.
    auto cell = [&](int j, bool* present = nullptr) {
      const int k = fieldOf[static_cast<size_t>(j)];
      if (present) *present = k >= 0;
      return k >= 0 ? f.value(k) : QString();
    };
    auto name = [&](int j) { return head.value(fieldOf[static_cast<size_t>(j)]); };
    bool ok = false;
    const int ch = cell(0).trimmed().toInt(&ok);
    if (!ok || ch < 1 || ch > n) {
      entry.report(name(0), QStringLiteral("not a channel number 1 to %1: \"%2\"").arg(n).arg(cell(0)));
      continue;
    }
    entry.typeFrequency(ch, kColRx, frequencyText(cell(kColRx)), name(kColRx));
    if (entry.channelEmpty(ch)) continue;  // an empty channel takes nothing else
    bool present = false;
    if (const QString tx = cell(kColTx, &present); present) entry.typeFrequency(ch, kColTx, frequencyText(tx), name(kColTx));
    if (const QString t = cell(kColDecode, &present); present) entry.typeTone(ch, kColDecode, t, name(kColDecode));
    if (const QString t = cell(kColEncode, &present); present) entry.typeTone(ch, kColEncode, t, name(kColEncode));
    for (int j = kColFirstOption; j < captions.size(); ++j) {
      const QString t = cell(j);
      if (t.trimmed().isEmpty()) continue;
      entry.chooseOption(ch, j, t, name(j));
    }
  }
  return true;
}

}  // namespace zr
