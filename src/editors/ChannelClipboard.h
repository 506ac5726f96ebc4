#pragma once
// Channels on the clipboard: whole rows of the channel grid as tab-separated
// text, one line per channel after a line of the grid's captions, the way
// spreadsheets exchange cells. A paste enters every cell through the grid's
// own edit rules, as if the user typed it, so frequencies are snapped and
// kept in the band and a new channel takes the column defaults; text copied
// from a spreadsheet pastes the same way.
#include <QString>
#include <QStringList>
#include <vector>

namespace zr {

class ChannelGrid;
struct Core;

// The text of the given grid rows (channels), header line first.
QString copyChannelRows(const ChannelGrid& g, std::vector<int> rows);

struct PasteResult {
  int channels = 0;     // channels the text reached
  QStringList refused;  // one line per cell that was not taken, for one report
  // One line per cell the grid took but changed (snapped, kept inside the
  // band, shortened), with the pasted and the stored value.
  QStringList adjusted;
};

// Enters the lines of `text` into the channels from `firstRow` on, as one
// undo step. A first line of captions maps the columns by caption (any order,
// unknown captions are left out); without it the fields are the grid's
// columns in order, led by the channel number when a line has one field more.
PasteResult pasteChannelRows(ChannelGrid& g, const Core& c, int firstRow, const QString& text);

// Deletes the given channels, as the context menu deletes one, in one undo step.
void deleteChannelRows(ChannelGrid& g, const std::vector<int>& rows);

}  // namespace zr
