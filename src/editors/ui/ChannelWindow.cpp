#include "editors/ui/ChannelWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSet>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "editors/ChannelClipboard.h"
#include "editors/ChannelGrid.h"
#include "editors/GridColumns.h"
#include "base/Contrast.h"
#include "data/Core.h"
#include "base/TextIds.h"

namespace zr {

namespace {

constexpr int kMaxRefusalsShown = 12;  // lines of one paste report
// Channel rows the grid keeps in view whatever else the window shows: twelve
// on a screen with room for them beside the settings pages and the docked
// error log, eight on a small screen (or a large scale factor) so that the
// window still fits.
constexpr int kMinVisibleRows = 12, kMinVisibleRowsSmallScreen = 8;
constexpr int kRoomyScreenHeight = 720;  // logical pixels available

QColor fromRgb(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
uint32_t rgbOf(const QColor& c) { return c.rgb() & 0xFFFFFF; }
// The grid's selection: magenta, as the channel window always had it.
constexpr uint32_t kSelectionRgb = 0xFF00FF;

// Sizes in the configuration are twentieths of a point: 15 of them make a
// pixel on a 96-dpi screen.
int twipsToPixels(int twips) { return std::max(8, twips / 15); }

}  // namespace

// The grid widget: asks the model before an edit starts and hands the
// finished edit back to it.
class GridTable : public QTableWidget {
 public:
  GridTable(ChannelGrid& grid, QWidget* parent) : QTableWidget(parent), grid_(grid) {}
  bool editing() const { return state() == QAbstractItemView::EditingState; }

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    if (trigger == QAbstractItemView::NoEditTriggers || !index.isValid()) return QTableWidget::edit(index, trigger, event);
    if (trigger == QAbstractItemView::CurrentChanged) return false;
    // The cell is being edited already: keep its editor rather than open a second one.
    if (state() == QAbstractItemView::EditingState && index == currentIndex()) return true;
    if (!grid_.beforeEdit(index.row() + 1, index.column() + 1)) return false;
    return QTableWidget::edit(index, trigger, event);
  }
  // No type-ahead: a typed character edits the current cell or does nothing,
  // never jumps to another channel whose text starts with it.
  void keyboardSearch(const QString&) override {}
  // Tab and Shift+Tab go from cell to cell and leave the grid after its last
  // (before its first) cell instead of going round it again.
  bool focusNextPrevChild(bool next) override {
    const QModelIndex at = currentIndex();
    const bool atEnd = next ? at.row() == rowCount() - 1 && at.column() == columnCount() - 1
                            : at.row() == 0 && at.column() == 0;
    if (state() != QAbstractItemView::EditingState && (!at.isValid() || atEnd))
      return QWidget::focusNextPrevChild(next);
    return QTableWidget::focusNextPrevChild(next);
  }

 private:
  ChannelGrid& grid_;
};

namespace {

// Cell editors: a line for frequencies and free columns, a list for option columns.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(ChannelGrid& grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

  // Set while a click opens the editor (not the keyboard).
  bool openingFromClick = false;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    const int col = index.column() + 1;
    const QString list = grid_.editorList(col);
    QWidget* editor = nullptr;
    const QString column = grid_.text(0, col);
    if (!list.isEmpty()) {
      auto* box = new QComboBox(parent);
      box->addItems(list.split(u'|'));
      editor = box;
    } else {
      auto* line = new QLineEdit(parent);
      line->setAlignment(Qt::AlignCenter);
      editor = line;
    }
    editor->setAccessibleName(QStringLiteral("%1 of channel %2").arg(column, grid_.text(index.row() + 1, 0)));
    // The editor a click opens lies over the cell, so the second half of a
    // double click lands on it. Where the double click has work to do (an
    // option to step, a missing transmit frequency to copy), the editor hands
    // it to the grid.
    const bool stepsOption = !list.isEmpty() && col != kColSpecial;
    const bool copiesTx = col == kColTx && grid_.text(index.row() + 1, kColTx).isEmpty();
    if (openingFromClick && (stepsOption || copiesTx)) {
      clickEditor_ = editor;
      clickOpened_.start();
    }
    return editor;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (mouse && clickEditor_ && watched == clickEditor_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        clickOpened_.elapsed() < QApplication::doubleClickInterval()) {
      if (event->type() == QEvent::MouseButtonDblClick) {
        QWidget* editor = clickEditor_;
        clickEditor_ = nullptr;
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);  // nothing typed yet: no commit
        grid_.doubleClick(grid_.cursorRow(), grid_.cursorCol());
      }
      return true;  // the second press belongs to the double click
    }
    return QStyledItemDelegate::eventFilter(watched, event);
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    const QString current = index.data().toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) box->setCurrentIndex(std::max(0, box->findText(current)));
    else if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setText(current);
  }
  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    const int r = index.row() + 1, c = index.column() + 1;
    if (auto* box = qobject_cast<QComboBox*>(editor)) grid_.GridChAfterEdit(r, c, box->currentText(), box->currentIndex());
    else if (auto* line = qobject_cast<QLineEdit*>(editor)) grid_.GridChAfterEdit(r, c, line->text(), -1);
  }

 private:
  ChannelGrid& grid_;
  mutable QPointer<QWidget> clickEditor_;
  mutable QElapsedTimer clickOpened_;
};

}  // namespace

ChannelWindow::ChannelWindow(Core& core, ChannelGrid& grid, QWidget* parent)
    : QWidget(parent), core_(core), grid_(grid) {
  setObjectName(QStringLiteral("frmChMem"));
  auto* outer = new QVBoxLayout(this);
  top_ = new QVBoxLayout();
  outer->addLayout(top_);
  fraMain_ = new QGroupBox(this);
  fraMain_->setObjectName(QStringLiteral("fraMain"));
  auto* inner = new QVBoxLayout(fraMain_);
  table_ = new GridTable(grid_, fraMain_);
  table_->setObjectName(QStringLiteral("vsfgGridCh"));
  table_->setAccessibleName(QStringLiteral("Channels"));
  auto* delegate = new CellDelegate(grid_, table_);
  table_->setItemDelegate(delegate);
  // Shift and Ctrl clicks (on cells or row labels) select several channels.
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Mouse edits start from the model's click rule; the keyboard starts them directly.
  table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  applySelectionColours();
  inner->addWidget(table_);
  outer->addWidget(fraMain_, 1);
  bottom_ = new QVBoxLayout();
  outer->addLayout(bottom_);

  picker_ = new QComboBox(table_->viewport());
  picker_->setObjectName(QStringLiteral("cboGridChCtdcs"));
  picker_->setAccessibleName(QStringLiteral("Tone"));
  picker_->setEditable(true);
  picker_->setInsertPolicy(QComboBox::NoInsert);
  // What the user types is what gets committed: no completion from the list.
  picker_->setCompleter(nullptr);
  picker_->setMaxVisibleItems(20);
  picker_->addItems(core_.tones.CtdcsList());
  picker_->hide();
  picker_->installEventFilter(this);
  if (picker_->lineEdit()) picker_->lineEdit()->installEventFilter(this);
  // The keys of the grid's own (Enter, F2, Space, Alt+Down, typing on a tone cell).
  table_->installEventFilter(this);
  connect(picker_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (!refreshing_) grid_.setPickerText(t);
  });

  popMenu_ = new QMenu(this);
  popMenu_->setObjectName(QStringLiteral("mnuPopMenuOne"));
  mnuOpenCh_ = popMenu_->addAction(QString());
  mnuOpenCh_->setObjectName(QStringLiteral("mnuOpenCh"));
  mnuSaveDef_ = popMenu_->addAction(QString());
  mnuSaveDef_->setObjectName(QStringLiteral("mnuSaveDef"));
  popMenu_->addSeparator()->setVisible(false);
  mnuDelOne_ = popMenu_->addAction(QString());
  mnuDelOne_->setObjectName(QStringLiteral("mnuDelOne"));
  mnuDelAll_ = popMenu_->addAction(QString());
  mnuDelAll_->setObjectName(QStringLiteral("mnuDelAll"));
  QAction* lockSeparator = popMenu_->addSeparator();
  lockSeparator->setObjectName(QStringLiteral("sepPopChLock"));
  mnuPopChLock_ = popMenu_->addAction(QString());
  mnuPopChLock_->setObjectName(QStringLiteral("mnuPopChLock"));
  mnuPopChLock_->setCheckable(true);
  for (QAction* a : {mnuOpenCh_, mnuSaveDef_}) {
    a->setVisible(false);
    a->setEnabled(false);
  }
  connect(mnuDelOne_, &QAction::triggered, this, [this] { grid_.deleteOne(); });
  connect(mnuDelAll_, &QAction::triggered, this, [this] { grid_.deleteAll(); });
  connect(mnuPopChLock_, &QAction::triggered, this, &ChannelWindow::lockToggled);

  // A click with Shift or Ctrl only extends the selection of channels.
  connect(table_, &QTableWidget::cellClicked, this, [this](int r, int c) {
    if (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) return;
    grid_.click(r + 1, c + 1);
  });
  // A double click acts on the grid's cursor cell, where the click before it
  // put the cursor: on the encode tone of a channel without transmit
  // frequency that is the transmit cell, which then takes the receive side.
  connect(table_, &QTableWidget::cellDoubleClicked, this,
          [this](int, int) { grid_.doubleClick(grid_.cursorRow(), grid_.cursorCol()); });
  connect(table_, &QWidget::customContextMenuRequested, this, &ChannelWindow::showContextMenu);
  connect(&grid_, &ChannelGrid::changed, this, &ChannelWindow::refresh);
  // A selection of several rows hides the current-row colour (below).
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!refreshing_) refresh();
  });
  // Queued: an edit that ends moves the cursor while its editor is still
  // committing, and the view must not close that editor under it.
  connect(
      &grid_, &ChannelGrid::cursorMoved, this,
      [this](int r, int c) {
        // The highlight goes with the cursor wherever the grid puts it.
        if (r >= 1 && c >= 1 && r <= table_->rowCount() && c <= table_->columnCount())
          table_->setCurrentCell(r - 1, c - 1, QItemSelectionModel::ClearAndSelect);
      },
      Qt::QueuedConnection);
  // The edit starts once the click that asked for it has been handled, so the
  // editor keeps the focus.
  connect(&grid_, &ChannelGrid::editRequested, this, [this, delegate](int r, int c) {
    QTimer::singleShot(0, table_, [this, delegate, r, c] {
      QTableWidgetItem* item = table_->item(r - 1, c - 1);
      if (!item) return;
      table_->setCurrentItem(item);
      delegate->openingFromClick = true;
      table_->editItem(item);
      delegate->openingFromClick = false;
      // Alt+Down asked for the option list itself.
      if (openListOnEdit_) {
        openListOnEdit_ = false;
        if (auto* box = qobject_cast<QComboBox*>(table_->indexWidget(table_->model()->index(r - 1, c - 1))))
          box->showPopup();
      }
    });
  });
  auto gridAction = [this](const char* name, const char* caption, QKeySequence::StandardKey key, void (ChannelWindow::*slot)()) {
    auto* a = new QAction(QString::fromLatin1(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table_->addAction(a);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  actCopy_ = gridAction("actCopyChannels", "&Copy Channels", QKeySequence::Copy, &ChannelWindow::copyChannels);
  actCut_ = gridAction("actCutChannels", "Cu&t Channels", QKeySequence::Cut, &ChannelWindow::cutChannels);
  actPaste_ = gridAction("actPasteChannels", "&Paste Channels", QKeySequence::Paste, &ChannelWindow::pasteChannels);
  actDelete_ = gridAction("actDeleteChannels", "&Delete Channels", QKeySequence::Delete, &ChannelWindow::deleteChannels);

  // The corner above the row labels shows the caption of column 0.
  corner_ = table_->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  if (corner_) {
    corner_->setObjectName(QStringLiteral("vsfgGridChCorner"));
    corner_->installEventFilter(this);
  }
  InitFace();
}

QTableWidget* ChannelWindow::table() const { return table_; }

QList<QAction*> ChannelWindow::channelActions() const { return {actCopy_, actCut_, actPaste_, actDelete_}; }

std::vector<int> ChannelWindow::selectedChannels() const {
  std::vector<int> rows;
  for (const QModelIndex& i : table_->selectionModel()->selectedIndexes()) rows.push_back(i.row() + 1);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty() && grid_.cursorRow() >= 1 && grid_.cursorRow() < grid_.rowCount()) rows.push_back(grid_.cursorRow());
  return rows;
}

void ChannelWindow::copyChannels() {
  guarded(core_.log, "frmChMem->copyChannels", [&] {
    QGuiApplication::clipboard()->setText(copyChannelRows(grid_, selectedChannels()));
  });
}

void ChannelWindow::cutChannels() {
  if (grid_.locked()) return;
  copyChannels();
  deleteChannels();
}

void ChannelWindow::deleteChannels() {
  guarded(core_.log, "frmChMem->deleteChannels", [&] { deleteChannelRows(grid_, selectedChannels()); });
}

void ChannelWindow::pasteChannels() {
  guarded(core_.log, "frmChMem->pasteChannels", [&] {
    const std::vector<int> rows = selectedChannels();
    if (rows.empty()) return;
    const PasteResult r = pasteChannelRows(grid_, core_, rows.front(), QGuiApplication::clipboard()->text());
    if (r.refused.isEmpty() && r.adjusted.isEmpty()) return;
    // Every refused and every changed cell in one report.
    auto section = [](const QString& title, const QStringList& cells) {
      if (cells.isEmpty()) return QStringList{};
      QStringList lines{title};
      lines << cells.mid(0, kMaxRefusalsShown);
      if (cells.size() > kMaxRefusalsShown) lines << QStringLiteral("... and %1 more").arg(cells.size() - kMaxRefusalsShown);
      return lines;
    };
    QStringList lines = section(QStringLiteral("Some cells were not pasted:"), r.refused);
    if (!lines.isEmpty() && !r.adjusted.isEmpty()) lines << QString();
    lines << section(QStringLiteral("Some cells were changed to fit:"), r.adjusted);
    core_.prompts.message(core_.text.SoftFace(kTxtNotice), lines.join(u'\n'), UserPrompts::Icon::Exclamation);
  });
}

void ChannelWindow::InitFace() {
  guarded(core_.log, "frmChMem->InitFace:", [this] {
    fraMain_->setTitle(core_.text.SoftFace(kTxtChannelInfo));
    setWindowTitle(core_.text.SoftFace(kTxtChannelWindowTitle));
  });
}

void ChannelWindow::rebuild() {
  refreshing_ = true;
  const int rows = std::max(0, grid_.rowCount() - 1);
  const int cols = std::max(0, grid_.columnCount() - 1);
  table_->clear();
  table_->setRowCount(rows);
  table_->setColumnCount(cols);
  QStringList headers, labels;
  for (int c = 1; c <= cols; ++c) headers << grid_.text(0, c);
  for (int r = 1; r <= rows; ++r) labels << grid_.text(r, 0);
  table_->setHorizontalHeaderLabels(headers);
  if (corner_) {
    corner_->setText(grid_.text(0, 0));
    corner_->update();
  }
  table_->setVerticalHeaderLabels(labels);
  table_->verticalHeader()->setDefaultSectionSize(twipsToPixels(grid_.rowHeight()));
  table_->verticalHeader()->setFixedWidth(twipsToPixels(grid_.columnWidth(0)));
  table_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  for (int c = 1; c <= cols; ++c) table_->setColumnWidth(c - 1, twipsToPixels(grid_.columnWidth(c)));
  // However the other windows are laid out (the error log docked below them
  // included), the grid keeps its rows in view; the settings pages below
  // scroll instead.
  const QScreen* screen = table_->screen() ? table_->screen() : QGuiApplication::primaryScreen();
  const bool roomy = !screen || screen->availableGeometry().height() >= kRoomyScreenHeight;
  const int shownRows = std::min(rows, roomy ? kMinVisibleRows : kMinVisibleRowsSmallScreen);
  table_->setMinimumHeight(2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height() +
                           shownRows * table_->verticalHeader()->defaultSectionSize() +
                           table_->horizontalScrollBar()->sizeHint().height());
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      auto* item = new QTableWidgetItem();
      item->setTextAlignment(Qt::AlignCenter);
      table_->setItem(r - 1, c - 1, item);
    }
  refreshing_ = false;
  refresh();
}

void ChannelWindow::refresh() {
  if (table_->rowCount() != std::max(0, grid_.rowCount() - 1) ||
      table_->columnCount() != std::max(0, grid_.columnCount() - 1)) {
    rebuild();
    return;
  }
  refreshing_ = true;
  const QColor highlight = fromRgb(ChannelGrid::kHighlightRgb);
  const uint32_t base = rgbOf(table_->palette().color(QPalette::Base));
  const uint32_t paletteText = rgbOf(table_->palette().color(QPalette::Text));
  // While several rows are selected the selection is what the commands act
  // on: the clicked row's colour is not painted, so that it cannot pass for
  // one more selected row.
  int selectedRows = 0;
  if (QItemSelectionModel* sel = table_->selectionModel()) {
    QSet<int> rows;
    for (const QModelIndex& i : sel->selectedIndexes()) rows.insert(i.row());
    selectedRows = static_cast<int>(rows.size());
  }
  const int highlightRow = selectedRows > 1 ? 0 : grid_.highlightedRow();
  for (int r = 1; r < grid_.rowCount(); ++r)
    for (int c = 1; c < grid_.columnCount(); ++c) {
      QTableWidgetItem* item = table_->item(r - 1, c - 1);
      if (!item) continue;
      const QString t = grid_.text(r, c);
      if (item->text() != t) item->setText(t);
      // The configured colour, or a readable one where the colour scheme's
      // background would swallow it.
      const bool highlighted = r == highlightRow;
      const uint32_t behind = highlighted ? static_cast<uint32_t>(ChannelGrid::kHighlightRgb) : base;
      const QColor fg = fromRgb(readableOn(fromColourNumber(grid_.colour(r, c)), behind, paletteText));
      if (item->foreground().color() != fg) item->setForeground(fg);
      item->setBackground(highlighted ? QBrush(highlight) : QBrush());
    }
  table_->setEnabled(!grid_.locked());
  placePicker();
  refreshing_ = false;
}

void ChannelWindow::applySelectionColours() {
  // Selected text reads on the magenta whatever the colour scheme.
  const uint32_t text = readableOn(rgbOf(table_->palette().color(QPalette::HighlightedText)), kSelectionRgb,
                                   rgbOf(table_->palette().color(QPalette::Text)));
  table_->setStyleSheet(QStringLiteral("QTableWidget { selection-background-color: rgb(255,0,255); "
                                       "selection-color: %1; }")
                            .arg(fromRgb(text).name()));
}

void ChannelWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::PaletteChange && !inPaletteChange_) {
    inPaletteChange_ = true;
    applySelectionColours();
    refresh();
    inPaletteChange_ = false;
  }
}

void ChannelWindow::placePicker() {
  if (!grid_.pickerVisible() || grid_.pickerRow() < 1) {
    picker_->hide();
    return;
  }
  const QRect cell = table_->visualRect(table_->model()->index(grid_.pickerRow() - 1, grid_.pickerCol() - 1));
  picker_->setGeometry(cell.left(), cell.top(), cell.width(), std::max(cell.height(), picker_->sizeHint().height()));
  const uint32_t pickerText = readableOn(rgbOf(table_->palette().color(QPalette::Text)),
                                        static_cast<uint32_t>(ChannelGrid::kHighlightRgb), 0);
  picker_->setStyleSheet(QStringLiteral("QComboBox { background: rgb(194,121,240); color: %1; }")
                             .arg(fromRgb(pickerText).name()));
  if (picker_->currentText() != grid_.pickerText()) picker_->setEditText(grid_.pickerText());
  if (!picker_->isVisible()) {
    picker_->show();
    picker_->setFocus();
    // What the user types replaces the tone shown.
    if (picker_->lineEdit()) picker_->lineEdit()->selectAll();
  }
}

bool ChannelWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint) {
    QStylePainter p(corner_);
    QStyleOptionHeader opt;
    opt.initFrom(corner_);
    opt.rect = corner_->rect();
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.text = corner_->text();
    opt.textAlignment = Qt::AlignCenter;
    p.drawControl(QStyle::CE_Header, opt);
    return true;
  }
  if (watched == table_ && event->type() == QEvent::KeyPress && gridKey(static_cast<QKeyEvent*>(event))) return true;
  if (watched == picker_ || (picker_ && watched == picker_->lineEdit())) {
    if (pickerEvent(event)) return true;
    if (event->type() == QEvent::FocusOut && !picker_->view()->isVisible() && !refreshing_) {
      grid_.setPickerText(picker_->currentText());
      grid_.pickerFocusOut();
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool ChannelWindow::pickerEvent(QEvent* event) {
  if (!grid_.pickerVisible()) return false;
  if (event->type() == QEvent::MouseButtonDblClick) {
    // The second click of a double click on a tone cell lands on the picker
    // the first click opened: it is the grid's double click all the same.
    if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
    grid_.doubleClick(grid_.cursorRow(), grid_.cursorCol());
    table_->setFocus();
    return true;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const int row = grid_.cursorRow(), col = grid_.cursorCol();
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      grid_.setPickerText(picker_->currentText());
      grid_.closePicker(true);
      // Tab goes on to the next cell, Shift+Tab back, Enter stays.
      int next = col;
      if (key->key() == Qt::Key_Tab) next = std::min(col + 1, table_->columnCount());
      else if (key->key() == Qt::Key_Backtab) next = std::max(col - 1, 1);
      grid_.setCursor(row, next);
      table_->setFocus();
      return true;
    }
    case Qt::Key_Escape:
      grid_.closePicker(false);
      // Hiding the focused picker hands the focus on, which moves the view's
      // current cell: it goes back to the tone cell.
      grid_.setCursor(row, col);
      table_->setFocus();
      return true;
    default:
      return false;
  }
}

bool ChannelWindow::gridKey(QKeyEvent* key) {
  // One rule for every cell: Enter or F2 does what a click does, Alt+Down
  // that and opens the list, Space what a double click does. On a tone cell
  // a typed character starts the tone entry with it.
  if (table_->editing() || grid_.locked()) return false;
  const QModelIndex at = table_->currentIndex();
  if (!at.isValid()) return false;
  const int r = at.row() + 1, c = at.column() + 1;
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier;
  const bool f2 = key->key() == Qt::Key_F2 && mods == Qt::NoModifier;
  const bool altDown = key->key() == Qt::Key_Down && mods == Qt::AltModifier;
  const bool space = key->key() == Qt::Key_Space && mods == Qt::NoModifier;
  const bool toneCell = c == kColDecode || c == kColEncode;
  const QString typed = key->text();
  const bool typing = toneCell && !typed.isEmpty() && typed.at(0).isPrint() && !typed.at(0).isSpace() &&
                      !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (!enter && !f2 && !altDown && !space && !typing) return false;
  grid_.setCursor(r, c);
  if (space) {
    grid_.doubleClick(r, c);
    return true;
  }
  openListOnEdit_ = altDown;
  grid_.click(r, c);
  if (!grid_.pickerVisible()) return true;  // a frequency or option edit starts (queued)
  openListOnEdit_ = false;
  if (typing && picker_->lineEdit()) {
    picker_->lineEdit()->setText(typed);
    grid_.setPickerText(typed);
  } else {
    picker_->showPopup();
  }
  return true;
}

void ChannelWindow::showContextMenu(const QPoint& pos) {
  const QModelIndex index = table_->indexAt(pos);
  if (!index.isValid()) return;
  const ContextMenuState s = grid_.rightButton(index.row() + 1, index.column() + 1,
                                               lockEntryVisible_, lockEntryTicked_);
  if (s.channel == 0) return;
  mnuDelOne_->setText(s.delOneCaption);
  mnuDelOne_->setEnabled(s.delOneEnabled);
  mnuDelAll_->setText(s.delAllCaption);
  mnuDelAll_->setEnabled(s.delAllEnabled);
  mnuOpenCh_->setText(s.openChCaption);
  mnuSaveDef_->setText(s.saveDefCaption);
  mnuPopChLock_->setVisible(s.lockVisible);
  mnuPopChLock_->setEnabled(s.lockEnabled);
  mnuPopChLock_->setText(s.lockCaption);
  mnuPopChLock_->setChecked(s.lockChecked);
  if (QAction* sep = popMenu_->findChild<QAction*>(QStringLiteral("sepPopChLock"))) sep->setVisible(s.lockVisible);
  popMenu_->popup(table_->viewport()->mapToGlobal(pos));
}

void ChannelWindow::closeEvent(QCloseEvent* e) {
  // The channel window lives as long as the program.
  if (core_.settings.Leaving) e->accept();
  else e->ignore();
}

}  // namespace zr
