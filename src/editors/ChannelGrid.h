#pragma once
// The rules of the channel grid `vsfgGridCh`, without widgets: the cell texts
// and colours, the cursor, the tone picker `cboGridChCtdcs`, and every grid
// event (before and after an in-cell edit, click, double click, right button,
// delete). The channel window only shows this model and forwards events.
//
// Row 0 is the header, rows 1..N the channels; column 0 the labels, columns
// 1..M the attributes: 1 receive and 2 transmit frequency, 3 decode and 4
// encode tone, 5..M option columns (`ChTable` row j holds the option index).
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "data/ChColumnDefs.h"
#include "data/ChannelCodec.h"
#include "data/ChannelTable.h"
#include "data/ToneTable.h"
#include "data/UndoHistory.h"
#include "base/AppSettings.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"

namespace zr {

// How a cell may be edited in place.
enum class EditMode { None, Keyboard, KeyboardMouse };

// What the right-button menu `mnuPopMenuOne` shows for a channel.
struct ContextMenuState {
  int channel = 0;
  QString delOneCaption, delAllCaption, openChCaption, saveDefCaption, lockCaption;
  bool delOneEnabled = false;
  bool delAllEnabled = true;
  bool lockVisible = false;
  bool lockEnabled = false;
  bool lockChecked = false;
};

class ChannelGrid : public QObject {
  Q_OBJECT
 public:
  static constexpr int kHighlightRgb = 0xC279F0;   // RGB(194, 121, 240): the clicked row
  static constexpr int kSelectionRgb = 0xFF00FF;   // RGB(255, 0, 255)
  static constexpr int kRowVfo = 100;

  struct Deps {
    ChannelTable& table;
    ChannelCodec& codec;
    const ChColumnDefs& columns;
    const ToneTable& tones;
    const TextTable& text;
    const AppSettings& settings;  // colours and the lock state
    ErrorLog& log;
    std::function<int()> bandMin;
    std::function<int()> bandMax;
    UndoHistory* history = nullptr;  // told before every change the user makes
  };

  explicit ChannelGrid(Deps deps, QObject* parent = nullptr);

  // ---- geometry and contents (what the window shows) ----
  void SetChGrid();
  int rowCount() const { return static_cast<int>(cells_.size()); }
  int columnCount() const { return rowCount() ? static_cast<int>(cells_[0].size()) : 0; }
  QString text(int row, int col) const;
  // Text colour of a cell as a Windows colour number (red in the low byte).
  int colour(int row, int col) const;
  int columnWidth(int col) const;  // twentieths of a point
  int rowHeight() const { return deps_.columns.rowHeight; }
  // Drop-down list handed to the cell editor of an option column, "" for none.
  QString editorList(int col) const;
  EditMode editMode(int col) const;
  int highlightedRow() const { return highlightRow_; }
  int cursorRow() const { return cursorRow_; }
  int cursorCol() const { return cursorCol_; }
  void setCursor(int row, int col);

  // ---- the tone picker ----
  bool pickerVisible() const { return pickerVisible_; }
  int pickerRow() const { return pickerRow_; }
  int pickerCol() const { return pickerCol_; }
  const QString& pickerText() const { return pickerText_; }
  void setPickerText(const QString& t) { pickerText_ = t; }
  void hidePicker();
  // The picker gets the focus: shows the tone of the cursor cell and highlights its row.
  void pickerFocusIn();
  // The picker loses the focus: commits and hides.
  void pickerFocusOut();
  // Commits the picker's text to channel `row`, column `col` (3 or 4).
  void CtdcsSelList(int row, int col);
  // The main window commits a pending tone entry before saving or writing.
  void commitPendingTone();
  // Closes the picker from the keyboard: Enter and Tab commit what was typed,
  // Escape (commit false) leaves the channel's tone as it was.
  void closePicker(bool commit);

  // ---- events ----
  void ShowChTblGrid();
  // Before an in-cell edit: false cancels it.
  bool beforeEdit(int row, int col);
  // After an in-cell edit with the editor's text and list position (-1: none).
  void GridChAfterEdit(int row, int col, const QString& text, int listIndex = -1);
  void click(int row, int col);
  void doubleClick(int row, int col);
  ContextMenuState rightButton(int row, int col, bool chLockVisible, bool chLockTicked);
  void deleteOne();   // `mnuDelOne` on the context channel
  void deleteChannel(int row);  // the same for any channel but the VFO row
  void deleteAll();   // `mnuDelAll` and `cmdDelAllCh`

  // ---- the frequency rules ----
  // Value of a typed frequency read by character position (10 Hz units);
  // nullopt when the text is not numeric.
  static std::optional<int> typedFrequency(const QString& text);
  // Snaps to the frequency raster (250 Hz, or 6.25 kHz when that is nearer).
  static int ModifyTxRxFre(long long x);
  static bool isNumeric(const QString& text);
  static QString mhzText(int f);

  bool locked() const { return deps_.settings.LockState == kLockOn; }
  UndoHistory* history() const { return deps_.history; }
  // Redisplays every channel row from `ChTable` as it is (after an undo step
  // restored it), without decoding the image or writing anything.
  void redisplay();

 signals:
  void changed();                        // cells, colours, highlight or picker changed
  void editRequested(int row, int col);  // the view should start editing the cell
  void cursorMoved(int row, int col);

 private:
  int channelCount() const;
  int lastColumn() const;
  bool isChannelRow(int row) const { return row >= 1 && row <= channelCount(); }
  bool emptyChannel(int row) const;
  bool rowHasBlank(int row) const;
  void setCell(int row, int col, const QString& text, int colour);
  int defColour() const;
  int overColour() const;
  int bandColour(int f) const;
  int clampToBand(long long f) const;
  void clearChannel(int row);
  void clearTransmit(int row);
  void onChannelDeleted(int channel);
  void ChParaShow(int row);
  void RxFreShow(int row);
  void TxFreShow(int row);
  void CtdcsDecShow(int row);
  void CtdcsEncShow(int row);
  QString optionItem(int col, int value) const;
  void aboutToChange() {
    if (deps_.history) deps_.history->aboutToChange();
  }

  Deps deps_;
  std::vector<std::vector<QString>> cells_;
  std::vector<std::vector<int>> colours_;
  int highlightRow_ = 0;
  int cursorRow_ = 1;
  int cursorCol_ = 1;
  int pickerRow_ = 0;
  int pickerCol_ = 0;
  bool pickerVisible_ = false;
  QString pickerText_;
  int contextChannel_ = 0;
};

}  // namespace zr
