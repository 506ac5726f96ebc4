#pragma once
// The channel grid's column definitions: how many channels and attribute
// columns there are, their captions, widths and option lists, and the default
// value a new channel takes in each column. They come from section "ChInfo"
// of the configuration file; the channel codec needs N, M and the defaults.
#include <QString>
#include <QStringList>
#include <vector>

namespace zr {

struct ChColumnDefs {
  static constexpr int kMaxChannels = 260;
  static constexpr int kMaxColumns = 20;
  static constexpr int kMaxItems = 50;

  int channelCount = 16;   // N
  int rowHeight = 240;     // twentieths of a point
  int columnCount = 9;     // M
  QString headerFormat = QStringLiteral("0|0|0|0|0|0|0|0|0|0");
  std::vector<int> widths;           // index 0..M
  std::vector<QStringList> items;    // index 0..M (index 0 unused), items 0..49 per column

  // Item k of column j, empty when absent.
  QString item(int column, int k) const;
  // Column key: item 0.
  QString key(int column) const { return item(column, 0); }
  // Default value of column j: the numeric value of item 2 (0 when absent).
  int defaultValue(int column) const;
  // Number of options (item 1) of an option column.
  int optionCount(int column) const;
  // Text shown for option index v of column j (item v + 3), empty when absent.
  QString optionText(int column, int value) const;
  // Column header captions 0..M from the header format.
  QStringList captions() const;
  // An option column: not one of the recognised keys (RxFre, TxFre, OFFSET,
  // CHNAME, CtcssDcsDec, CtcssDcsEnc).
  bool isOptionColumn(int column) const;

  // Definitions as the grid has them when the configuration has no "ChInfo".
  static ChColumnDefs fallback();
};

}  // namespace zr
