#include "editors/ChannelCsv.h"

#include "editors/Editors.h"
#include "editors/ToneEntry.h"

namespace zr {

namespace {

constexpr int kColRx = 1, kColTx = 2, kColDecode = 3, kColEncode = 4, kFirstOption = 5;

QStringList header(const Editors& e) {
  QStringList h{QStringLiteral("Channel"), QStringLiteral("Rx"), QStringLiteral("Tx"), QStringLiteral("Decode"),
                QStringLiteral("Encode")};
  const QStringList captions = e.core.columns.captions();
  for (int j = kFirstOption; j <= e.core.columns.columnCount && j < ChannelTable::kRows; ++j)
    h << (j < captions.size() ? captions[j].trimmed() : QStringLiteral("Column %1").arg(j));
  return h;
}

}  // namespace

std::vector<QStringList> parseCsv(const QString& text, std::vector<int>* firstLines) {
  std::vector<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false, fieldStarted = false;
  int line = 1, rowLine = 1;  // the line being read, the line the row started on
  auto endField = [&] {
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
  QString out = csvLine(header(e)) + u'\n';
  for (int ch = 1; ch <= c.columns.channelCount && ch <= ChannelTable::kChannels; ++ch) {
    QStringList f{QString::number(ch)};
    const int rx = c.ChTable.get(kRowRx, ch);
    if (rx == -1) {
      for (int k = 1; k < header(e).size(); ++k) f << QString();
    } else {
      const int tx = c.ChTable.get(kRowTx, ch);
      f << ChannelGrid::mhzText(rx) << ChannelGrid::mhzText(tx) << c.ChTable.decodeTone(ch)
        << (tx == -1 ? QString() : c.ChTable.encodeTone(ch));
      for (int j = kFirstOption; j <= c.columns.columnCount && j < ChannelTable::kRows; ++j)
        f << c.columns.optionText(j, c.ChTable.get(j, ch));
    }
    out += csvLine(f) + u'\n';
  }
  return out;
}

bool importChannelsCsv(Editors& e, const QString& csv, std::vector<CsvProblem>& problems) {
  Core& c = e.core;
  ChannelGrid& g = e.grid;
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
  for (size_t line = 1; line < rows.size(); ++line) {
    const QStringList& f = rows[line];
    const int lineNo = line < fileLines.size() ? fileLines[line] : static_cast<int>(line) + 1;
    auto problem = [&](int k, const QString& msg) {
      problems.push_back({lineNo, k < head.size() ? head[k] : QString(), msg});
    };
    bool ok = false;
    const int ch = f.value(0).trimmed().toInt(&ok);
    if (!ok || ch < 1 || ch > n) {
      problem(0, QStringLiteral("not a channel number 1 to %1: \"%2\"").arg(n).arg(f.value(0)));
      continue;
    }
    auto typeFrequency = [&](int col, int k) {
      const QString t = f.value(k).trimmed();
      if (!t.isEmpty() && !ChannelGrid::isNumeric(t)) {
        problem(k, QStringLiteral("not a frequency: \"%1\"").arg(t));
        return;
      }
      const bool empty = c.ChTable.get(kRowRx, ch) == -1;
      if (t.isEmpty() && (col == kColRx ? empty : (empty || c.ChTable.get(kRowTx, ch) == -1))) return;
      if (!g.beforeEdit(ch, col)) {
        problem(k, QStringLiteral("cannot be entered here"));
        return;
      }
      g.setCursor(ch, col);
      g.GridChAfterEdit(ch, col, t, -1);
      const auto typed = ChannelGrid::typedFrequency(t);
      if (typed && c.ChTable.get(col, ch) != ChannelGrid::ModifyTxRxFre(*typed))
        problem(k, QStringLiteral("kept inside the band: %1 MHz").arg(ChannelGrid::mhzText(c.ChTable.get(col, ch))));
    };
    auto typeTone = [&](int col, int k) {
      const QString t = f.value(k).trimmed();
      if (c.ChTable.get(kRowRx, ch) == -1 || (col == kColEncode && c.ChTable.get(kRowTx, ch) == -1)) {
        if (!t.isEmpty()) problem(k, QStringLiteral("the channel has no frequency for this tone"));
        return;
      }
      const auto result = canonicalToneText(t, c.tones.NoToneText());
      if (!result) {
        problem(k, QStringLiteral("not a tone: \"%1\"").arg(t));
        return;
      }
      if (*result == c.tones.NoToneText() && !t.isEmpty() && t != c.tones.NoToneText())
        problem(k, QStringLiteral("not a tone: \"%1\", stored as %2").arg(t, *result));
      g.click(ch, col);
      g.setPickerText(t.isEmpty() ? c.tones.NoToneText() : t);
      g.pickerFocusOut();
    };
    typeFrequency(kColRx, 1);
    if (c.ChTable.get(kRowRx, ch) == -1) continue;  // an empty channel takes nothing else
    typeFrequency(kColTx, 2);
    typeTone(kColDecode, 3);
    typeTone(kColEncode, 4);
    for (int k = 5; k < f.size() && k < head.size(); ++k) {
      const int col = optionColumn[static_cast<size_t>(k)];
      const QString t = f[k].trimmed();
      if (t.isEmpty()) continue;
      int index = -1;
      for (int v = 0; v < ChColumnDefs::kMaxItems; ++v)
        if (c.columns.optionText(col, v) == t) {
          index = v;
          break;
        }
      if (index < 0) {
        problem(k, QStringLiteral("not an option of this column: \"%1\"").arg(t));
        continue;
      }
      if (!g.beforeEdit(ch, col)) {
        problem(k, QStringLiteral("cannot be entered here"));
        continue;
      }
      g.GridChAfterEdit(ch, col, t, index);
    }
  }
  return true;
}

}  // namespace zr
