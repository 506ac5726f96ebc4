#pragma once
// `frmMemDat`: the hex view of the memory image. A frame `fraMemData` holds
// the grid `vsfgGridMemDat` and the buttons `cmdPartFill` ("Part Fill"),
// `cmdFillGrid` ("Fill Gird") and `cmdSetDefCol` ("Set Def Color"). The grid
// is a table view over an adapter of the HexView model, so a refresh of the
// whole image repaints only the visible cells. Closing the window hides it
// until the program is leaving; its contents stay.
//
// Shown and hidden by service gestures elsewhere: connect the model frame's
// `hexViewRequested(bool)` to `setShown`, and let the radio information
// window call `setShown(true)`.
#include <QAbstractTableModel>
#include <QWidget>

class QGroupBox;
class QPushButton;
class QTableView;

namespace zr {

struct Core;
class FillDialog;
class HexView;
class RangeFill;

// The table model the grid shows: column 0 the row titles, columns 1..16 the
// bytes; the header row is the view's horizontal header. Edits go through
// HexView::editCell.
class HexGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit HexGridModel(HexView& view, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  HexView& view_;
};

class HexViewWindow : public QWidget {
  Q_OBJECT
 public:
  HexViewWindow(Core& core, HexView& view, RangeFill& fill, QWidget* parent = nullptr);

  QTableView* grid() const { return grid_; }
  HexGridModel* gridModel() const { return model_; }
  // The fill dialog, created by the first "Part Fill"; null before.
  FillDialog* fillDialog() const { return fillDialog_; }
  // Creates the fill dialog on first use and returns it (without showing it).
  FillDialog* ensureFillDialog();

  // Shows the window modelessly (raised) or hides it.
  void setShown(bool show);

  void cmdPartFill_Click();  // the fill dialog, modal
  void cmdFillGrid_Click();
  void cmdSetDefCol_Click();

  QSize sizeHint() const override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  // Escape closes the window when no cell is being edited.
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void applyLayout();
  void followCurrentCell(int row, int col);
  // Place and size from the configuration file, or the size hint.
  void restorePlace();

  Core& core_;
  HexView& view_;
  RangeFill& fill_;
  HexGridModel* model_;
  QGroupBox* fraMemData_;
  QTableView* grid_;
  QPushButton* cmdPartFill_;
  QPushButton* cmdFillGrid_;
  QPushButton* cmdSetDefCol_;
  FillDialog* fillDialog_ = nullptr;
  bool placed_ = false;
};

}  // namespace zr
