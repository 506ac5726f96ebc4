#include "editors/ChannelCsv.h"

#include "editors/Editors.h"

namespace zr {

namespace {

constexpr int kColRx = 1, kColTx = 2, kColDecode = 3, kColEncode = 4, kFirstOption = 5;

// The column captions; `guarded` for export (csvText), plain for matching an
// imported header, which parseCsv has already unguarded.
QStringList header(const Editors& e, bool guarded = false) {
  QStringList h{QStringLiteral("Channel"), QStringLiteral("Rx"), QStringLiteral("Tx"), QStringLiteral("Decode"),
                QStringLiteral("Encode")};
  const QStringList captions = e.core.columns.captions();
  for (int j = kFirstOption; j <= e.core.columns.columnCount && j < ChannelTable::kRows; ++j) {
    const QString caption = j < captions.size() ? captions[j].trimmed() : QStringLiteral("Column %1").arg(j);
    h << (guarded ? csvText(caption) : caption);
  }
  return h;
}

bool isFormulaStart(QChar c) { return c == u'=' || c == u'+' || c == u'-' || c == u'@'; }

}  // namespace

QString csvText(const QString& text) {
  if (text.isEmpty() || !isFormulaStart(text[0])) return text;
  bool number = false;
  text.toDouble(&number);
  return number ? text : u'\'' + text;
}

std::vector<QStringList> parseCsv(const QString& text, std::vector<int>* firstLines) {
  std::vector<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false, fieldStarted = false;
  int line = 1, rowLine = 1;  // the line being read, the line the row started on
  auto endField = [&] {
    if (field.size() >= 2 && field[0] == u'\'' && isFormulaStart(field[1])) field.remove(0, 1);
    row << field;
    field.clear();
    fieldStarted = false;
  };
  auto endRow = [&] {
    endField();
    if (!(row.size() == 1 && row[0].isEmpty())) {
      rows.push_back(row);
      if (firstLines) firstLines->push_back(rowLine);
    }
    row.clear();
  };
  for (int i = 0; i < text.size(); ++i) {
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
    } else if (c == u',') {
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
  QStringList out;
  for (const QString& f : fields) {
    if (f.contains(u',') || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r')) {
      QString q = f;
      q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
      out << u'"' + q + u'"';
    } else {
      out << f;
    }
  }
  return out.join(u',');
}

QString exportChannelsCsv(Editors& e) {
  const Core& c = e.core;
  QString out = csvLine(header(e, true)) + u'\n';
  for (int ch = 1; ch <= c.columns.channelCount && ch <= ChannelTable::kChannels; ++ch) {
    QStringList f{QString::number(ch)};
    const int rx = c.ChTable.get(kRowRx, ch);
    if (rx == -1) {
      for (int k = 1; k < header(e).size(); ++k) f << QString();
    } else {
      const int tx = c.ChTable.get(kRowTx, ch);
      f << ChannelGrid::mhzText(rx) << ChannelGrid::mhzText(tx) << csvText(c.ChTable.decodeTone(ch))
        << (tx == -1 ? QString() : csvText(c.ChTable.encodeTone(ch)));
      for (int j = kFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j)
        f << csvText(c.columns.optionText(j, c.ChTable.get(j, ch)));
    }
    out += csvLine(f) + u'\n';
  }
  return out;
}

bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems) {
  Core& c = e.core;
  std::vector<int> fileLines;
  const std::vector<QStringList> rows = parseCsv(csv, &fileLines);
  const QStringList expected = header(e);
  if (rows.empty()) {
    problems.push_back({1, QString(), QStringLiteral("the file is empty")});
    return false;
  }
  // The header must name the channel columns; option columns are matched by caption.
  const QStringList& head = rows[0];
  const int headLine = fileLines.empty() ? 1 : fileLines[0];
  if (head.size() < 5 || head.mid(0, 5) != expected.mid(0, 5)) {
    problems.push_back({headLine, QString(), QStringLiteral("the header must start with %1").arg(expected.mid(0, 5).join(u','))});
    return false;
  }
  std::vector<int> optionColumn(static_cast<size_t>(head.size()), -1);
  for (int k = 5; k < head.size(); ++k) {
    const int at = expected.indexOf(head[k].trimmed(), 5);
    if (at < 0) {
      problems.push_back({headLine, head[k], QStringLiteral("no such option column")});
      return false;
    }
    optionColumn[static_cast<size_t>(k)] = at;  // expected index k = column k
  }

  const int n = std::min(c.columns.channelCount, ChannelTable::kChannels);
  GridEntry entry(e, problems);
  for (size_t line = 1; line < rows.size(); ++line) {
    const QStringList& f = rows[line];
    entry.setLine(line < fileLines.size() ? fileLines[line] : static_cast<int>(line) + 1);
    auto name = [&](int k) { return k < head.size() ? head[k] : QString(); };
    bool ok = false;
    const int ch = f.value(0).trimmed().toInt(&ok);
    if (!ok || ch < 1 || ch > n) {
      entry.report(name(0), QStringLiteral("not a channel number 1 to %1: \"%2\"").arg(n).arg(f.value(0)));
      continue;
    }
    entry.typeFrequency(ch, kColRx, f.value(1), name(1));
    if (entry.channelEmpty(ch)) continue;  // an empty channel takes nothing else
    entry.typeFrequency(ch, kColTx, f.value(2), name(2));
    entry.typeTone(ch, kColDecode, f.value(3), name(3));
    entry.typeTone(ch, kColEncode, f.value(4), name(4));
    for (int k = kFirstOption; k < f.size() && k < head.size(); ++k) {
      if (f[k].trimmed().isEmpty()) continue;
      entry.chooseOption(ch, optionColumn[static_cast<size_t>(k)], f[k], name(k));
    }
  }
  return true;
}

}  // namespace zr
