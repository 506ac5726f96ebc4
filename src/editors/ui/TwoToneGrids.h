#pragma once
// The two grids `vsfgGridTwoTone`(0) and (1) of the two-tone page, entries 1-8
// and 9-16 (model: TwoToneTable). A widget the settings pages embed in the
// frame `fraTwoTone`; the page window calls refresh() after every settings
// refresh. Frequencies are typed, durations and the pause are picked from
// lists; every finished cell edit validates both grids and writes all
// sixteen entries into the image.
#include <QWidget>
#include <array>
#include <memory>

class QTableWidget;

namespace zr {

class ByteArray;
class ErrorLog;
class TwoToneTable;
struct Core;

class TwoToneGrids : public QWidget {
  Q_OBJECT
 public:
  explicit TwoToneGrids(Core& core, QWidget* parent = nullptr);
  // Headers in language `lang` (1, 2, 3).
  TwoToneGrids(ByteArray& image, ErrorLog& log, int lang, QWidget* parent = nullptr);
  ~TwoToneGrids() override;

  // The grids' part of the settings refresh: shows the image (writing the
  // table's repairs). A failure is logged as "frmChMem->InitOpt:".
  void refresh();
  // Shows the image's entries again without writing repairs (after raw edits).
  void redraw();

  TwoToneTable& model() { return *model_; }
  QTableWidget* grid(int index) const;  // 0 or 1, nullptr otherwise

 private:
  void setUpGrid(QTableWidget* grid, int index, int lang);
  void fitGrid(QTableWidget* grid);
  void cellEdited(int gridIndex, int row, int column);
  void showCells();

  std::unique_ptr<TwoToneTable> model_;
  ErrorLog& log_;
  std::array<QTableWidget*, 2> grids_{};
  bool showing_ = false;
};

}  // namespace zr
