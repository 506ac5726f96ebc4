#include "editors/ChannelClipboard.h"

#include <QSignalBlocker>
#include <algorithm>

#include "editors/ChannelGrid.h"
#include "editors/GridColumns.h"
#include "editors/GridEntry.h"
#include "data/Core.h"
#include "editors/ToneEntry.h"

namespace zr {

namespace {


// Lines of tab-separated fields; the line break a spreadsheet puts after the
// last line makes no channel.
std::vector<QStringList> splitLines(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(u'\r', u'\n');
  QStringList lines = t.split(u'\n');
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  std::vector<QStringList> out;
  for (const QString& line : lines) out.push_back(line.split(u'\t'));
  return out;
}

int captionColumn(const ChannelGrid& g, const QString& field) {
  const QString f = field.trimmed();
  if (f.isEmpty()) return -1;
  for (int j = 0; j < g.columnCount(); ++j)
    if (g.text(0, j).trimmed().compare(f, Qt::CaseInsensitive) == 0) return j;
  return -1;
}

}  // namespace

QString copyChannelRows(const ChannelGrid& g, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QStringList lines;
  QStringList head;
  for (int j = 0; j < g.columnCount(); ++j) head << g.text(0, j).trimmed();
  lines << head.join(u'\t');
  for (int r : rows) {
    if (r < 1 || r >= g.rowCount()) continue;
    QStringList f{QString::number(r)};
    for (int j = 1; j < g.columnCount(); ++j) f << g.text(r, j);
    lines << f.join(u'\t');
  }
  return lines.join(u'\n') + u'\n';
}

PasteResult pasteChannelRows(ChannelGrid& g, const Core& c, int firstRow, const QString& text) {
  PasteResult result;
  const int channels = g.rowCount() - 1;
  const int lastCol = g.columnCount() - 1;
  std::vector<QStringList> lines = splitLines(text);
  if (lines.empty() || lastCol < 1) return result;
  if (g.locked()) {
    result.refused << QStringLiteral("the channel interface is locked");
    return result;
  }

  // Which grid column each field of a line goes to (-1: none).
  std::vector<int> target;
  const QStringList& first = lines.front();
  int named = 0, unnamed = 0;
  for (const QString& f : first) {
    if (f.trimmed().isEmpty()) continue;
    if (captionColumn(g, f) >= 1) ++named;
    else if (captionColumn(g, f) < 0) ++unnamed;
  }
  QStringList captions;
  for (int j = 0; j <= lastCol; ++j) captions << g.text(0, j).trimmed();
  QStringList trimmedFirst;
  for (const QString& f : first) trimmedFirst << f.trimmed();
  if (trimmedFirst == captions) {
    // Our own copy: the columns in grid order, the channel number first.
    target.push_back(-1);
    for (int j = 1; j <= lastCol; ++j) target.push_back(j);
    lines.erase(lines.begin());
  } else if (named > 0 && unnamed == 0) {
    for (const QString& f : first) {
      const int j = captionColumn(g, f);
      target.push_back(j >= 1 ? j : -1);
    }
    lines.erase(lines.begin());
  }

  UndoHistory::Group step(g.history());
  const int cursorRow = firstRow, cursorCol = g.cursorCol();
  // The window follows the grid once, when the paste is over, rather than
  // after every cell (each refresh also places the tone picker, which
  // measures its texts): 16 rows took 65 ms that way.
  QSignalBlocker oneRefresh(g);
  for (size_t i = 0; i < lines.size(); ++i) {
    const QStringList& f = lines[i];
    const int ch = firstRow + static_cast<int>(i);
    if (ch < 1 || ch > channels) {
      result.refused << QStringLiteral("%1 more line(s) below the last channel").arg(lines.size() - i);
      break;
    }
    ++result.channels;
    // The cells of this line by grid column; a column the line does not
    // reach stays as it is.
    std::vector<std::optional<QString>> cell(static_cast<size_t>(lastCol) + 1);
    if (!target.empty()) {
      for (int k = 0; k < f.size() && k < static_cast<int>(target.size()); ++k)
        if (target[static_cast<size_t>(k)] >= 1) cell[static_cast<size_t>(target[static_cast<size_t>(k)])] = f[k].trimmed();
    } else {
      const int lead = f.size() == lastCol + 1 ? 1 : 0;  // a channel number in front
      for (int k = lead; k < f.size() && k - lead + 1 <= lastCol; ++k) cell[static_cast<size_t>(k - lead + 1)] = f[k].trimmed();
    }
    auto refuse = [&](int col, const QString& why) {
      result.refused << QStringLiteral("channel %1, %2: %3").arg(ch).arg(g.text(0, col).trimmed(), why);
    };
    auto adjust = [&](int col, const QString& what) {
      result.adjusted << QStringLiteral("channel %1, %2: %3").arg(ch).arg(g.text(0, col).trimmed(), what);
    };
    auto emptyChannel = [&] { return c.ChTable.get(kRowRx, ch) == -1; };
    auto noTransmit = [&] { return c.ChTable.get(kRowTx, ch) == -1; };

    // Frequencies first: a receive frequency makes the channel.
    for (int col : {kColRx, kColTx}) {
      if (col > lastCol || !cell[static_cast<size_t>(col)]) continue;
      const QString t = *cell[static_cast<size_t>(col)];
      if (!t.isEmpty() && !ChannelGrid::isNumeric(t)) {
        refuse(col, QStringLiteral("\"%1\" is not a frequency").arg(t));
        continue;
      }
      // An empty cell empties what it covers, as clearing the cell does.
      if (t.isEmpty() && (emptyChannel() || (col == kColTx && noTransmit()))) continue;
      if (!g.beforeEdit(ch, col)) {
        refuse(col, QStringLiteral("\"%1\" cannot be entered here").arg(t));
        continue;
      }
      g.setCursor(ch, col);
      g.GridChAfterEdit(ch, col, t, -1);
      const QString note = frequencyEntryNote(t, c.ChTable.get(col, ch));
      if (!note.isEmpty()) adjust(col, QStringLiteral("\"%1\": %2").arg(t, note));
    }
    if (emptyChannel()) continue;  // an empty channel takes nothing else

    for (int col : {kColDecode, kColEncode}) {
      if (col > lastCol || !cell[static_cast<size_t>(col)]) continue;
      const QString t = *cell[static_cast<size_t>(col)];
      if (col == kColEncode && noTransmit()) {
        if (!t.isEmpty()) refuse(col, QStringLiteral("the channel has no transmit frequency"));
        continue;
      }
      const QString entry = t.isEmpty() ? c.tones.NoToneText() : t;
      const auto tone = canonicalToneText(entry, c.tones.NoToneText());
      if (!tone) {
        refuse(col, QStringLiteral("\"%1\" is not a tone").arg(t));
        continue;
      }
      if (*tone == c.tones.NoToneText() && entry != c.tones.NoToneText())
        refuse(col, QStringLiteral("\"%1\" is not a tone, %2 stored").arg(t, *tone));
      // Through the picker, as a tone is entered by hand.
      g.click(ch, col);
      g.setPickerText(entry);
      g.pickerFocusOut();
      if (*tone != c.tones.NoToneText()) {
        if (const QString note = toneEntryNote(entry, *tone); !note.isEmpty()) adjust(col, note);
      }
    }

    for (int col = kColEncode + 1; col <= lastCol; ++col) {
      if (!cell[static_cast<size_t>(col)]) continue;
      const QString t = *cell[static_cast<size_t>(col)];
      if (t.isEmpty() || t == g.text(ch, col)) continue;
      const QString list = g.editorList(col);
      int index = -1;
      if (!list.isEmpty()) {
        // The texts the cells show (what a copy holds), then the list's own.
        for (int v = 0; v < ChColumnDefs::kMaxItems && index < 0; ++v)
          if (c.columns.optionText(col, v) == t) index = v;
        if (index < 0) index = static_cast<int>(list.split(u'|').indexOf(t));
        if (index < 0) {
          refuse(col, QStringLiteral("\"%1\" is not an option of this column").arg(t));
          continue;
        }
      }
      if (!g.beforeEdit(ch, col)) {
        refuse(col, QStringLiteral("\"%1\" cannot be entered here").arg(t));
        continue;
      }
      g.GridChAfterEdit(ch, col, t, index);
      // A text cell keeps what fits; a list cell shows its own text of the
      // chosen option, which is no change.
      const QString shown = g.text(ch, col);
      if (shown != t && (index < 0 || shown != c.columns.optionText(col, index)))
        adjust(col, QStringLiteral("\"%1\" stored as \"%2\"").arg(t, shown));
    }
  }
  g.hidePicker();
  oneRefresh.unblock();
  emit g.changed();
  g.setCursor(cursorRow, std::max(1, cursorCol));
  return result;
}

void deleteChannelRows(ChannelGrid& g, const std::vector<int>& rows) {
  if (g.locked()) return;
  UndoHistory::Group step(g.history());
  for (int r : rows) g.deleteChannel(r);
}

}  // namespace zr
