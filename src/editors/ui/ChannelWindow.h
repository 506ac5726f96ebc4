#pragma once
// `frmChMem`: the channel and settings window. It shows the channel grid
// model in `vsfgGridCh` inside the frame `fraMain`, floats the tone picker
// `cboGridChCtdcs` over a tone cell, and pops up the context menu
// `mnuPopMenuOne`. Every rule lives in ChannelGrid; this class only shows it.
#include <QList>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QMenu;
class QAction;
class QKeyEvent;
class QAbstractButton;
class QTableWidget;
class QVBoxLayout;

namespace zr {

class ChannelGrid;
class GridTable;
struct Core;

class ChannelWindow : public QWidget {
  Q_OBJECT
 public:
  ChannelWindow(Core& core, ChannelGrid& grid, QWidget* parent = nullptr);

  // Builds the grid from the model's geometry (after SetChGrid).
  void rebuild();
  // Copies the model's texts, colours, highlight and picker into the widgets.
  void refresh();
  // Applies the captions of the current language.
  void InitFace();

  QTableWidget* table() const;
  QComboBox* picker() const { return picker_; }
  QMenu* contextMenu() const { return popMenu_; }
  // Area above the grid for the model frame, and below it for the settings pages.
  QVBoxLayout* topArea() const { return top_; }
  QVBoxLayout* bottomArea() const { return bottom_; }

  // Copy, cut, paste and delete of the selected channels (shortcuts active
  // in the grid); the main window lists them in its Edit menu.
  QList<QAction*> channelActions() const;
  // Channels of the selected cells and rows, or the cursor's channel.
  std::vector<int> selectedChannels() const;
  void copyChannels();
  void cutChannels();
  void pasteChannels();
  void deleteChannels();
  // The grid's corner, showing the caption of column 0.
  QAbstractButton* corner() const { return corner_; }

  // The state of the main menu's lock entry (`mnuChLock`), for the context
  // menu: told whenever the main window shows it anew.
  void setLockEntry(bool visible, bool ticked) {
    lockEntryVisible_ = visible;
    lockEntryTicked_ = ticked;
  }

 signals:
  // The context menu's lock entry `mnuPopChLock` was chosen.
  void lockToggled();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void placePicker();
  void applySelectionColours();
  bool pickerEvent(QEvent* event);
  bool gridKey(QKeyEvent* key);
  void showContextMenu(const QPoint& pos);

  Core& core_;
  ChannelGrid& grid_;
  QGroupBox* fraMain_;
  GridTable* table_;
  QComboBox* picker_;
  QMenu* popMenu_;
  QAction* mnuOpenCh_;
  QAction* mnuSaveDef_;
  QAction* mnuDelOne_;
  QAction* mnuDelAll_;
  QAction* mnuPopChLock_;
  QAction* actCopy_;
  QAction* actCut_;
  QAction* actPaste_;
  QAction* actDelete_;
  QAbstractButton* corner_ = nullptr;
  QVBoxLayout* top_;
  QVBoxLayout* bottom_;
  bool refreshing_ = false;
  bool lockEntryVisible_ = false;
  bool lockEntryTicked_ = false;
  bool inPaletteChange_ = false;
  bool openListOnEdit_ = false;  // Alt+Down: the option editor opens with its list
};

}  // namespace zr
