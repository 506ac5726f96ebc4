#include "editors/ui/TwoToneGrids.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>

#include "editors/TwoToneTable.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/ui/NoSearchViews.h"

namespace zr {

namespace {

// Every in-cell edit that ends with Enter or by leaving the cell validates
// the table, also when the text stays as it was (the cell then reports no
// change of its own): retyping a stored 288.5 clamps it like any other edit.
class CellEditDelegate : public QStyledItemDelegate {
 public:
  using Ended = std::function<void(const QModelIndex&)>;
  CellEditDelegate(Ended ended, QObject* parent) : QStyledItemDelegate(parent), ended_(std::move(ended)) {}

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    const QString before = index.data().toString();
    storeText(editor, model, index);
    if (index.data().toString() == before && ended_) ended_(index);
  }

 protected:
  virtual void storeText(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  Ended ended_;
};

// In-cell pick list of the duration and pause columns. Leaving the list
// without picking keeps the cell as it was.
class TimeListDelegate : public CellEditDelegate {
 public:
  TimeListDelegate(const QStringList& entries, Ended ended, QObject* parent)
      : CellEditDelegate(std::move(ended), parent), entries_(entries) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
    auto* list = new QComboBox(parent);
    list->addItems(entries_);
    return list;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* list = static_cast<QComboBox*>(editor);
    list->setCurrentIndex(static_cast<int>(entries_.indexOf(index.data().toString())));
  }

 protected:
  void storeText(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* list = static_cast<QComboBox*>(editor);
    if (list->currentIndex() >= 0) model->setData(index, list->currentText());
  }

 private:
  QStringList entries_;
};

}  // namespace

TwoToneGrids::TwoToneGrids(Core& core, QWidget* parent)
    : TwoToneGrids(core.image.TempArray, core.log, core.CurLang, parent) {
  model_->history = &core.history;
}

TwoToneGrids::TwoToneGrids(ByteArray& image, ErrorLog& log, int lang, QWidget* parent)
    : QWidget(parent), model_(std::make_unique<TwoToneTable>(image, log)), log_(log) {
  setObjectName(QStringLiteral("TwoToneGrids"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  for (int g = 0; g < 2; ++g) {
    auto* grid = new NoSearchTableWidget(this);
    grids_[static_cast<size_t>(g)] = grid;
    setUpGrid(grid, g, lang);
    row->addWidget(grid);
  }
}

TwoToneGrids::~TwoToneGrids() = default;

QTableWidget* TwoToneGrids::grid(int index) const {
  return index == 0 || index == 1 ? grids_[static_cast<size_t>(index)] : nullptr;
}

void TwoToneGrids::setUpGrid(QTableWidget* grid, int index, int lang) {
  grid->setObjectName(QStringLiteral("vsfgGridTwoTone(%1)").arg(index));
  grid->setColumnCount(kTwoToneColumns);
  grid->setRowCount(kTwoToneRowsPerGrid);
  grid->setHorizontalHeaderLabels(twoToneHeaders(lang));
  grid->verticalHeader()->hide();
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  // The arrow keys move between the entries; Tab goes on to the next control
  // rather than round the grid for ever.
  grid->setTabKeyNavigation(false);
  grid->setAccessibleName(QStringLiteral("Two-tone entries %1 to %2")
                              .arg(index * kTwoToneRowsPerGrid + 1)
                              .arg((index + 1) * kTwoToneRowsPerGrid));
  const CellEditDelegate::Ended ended = [this, index](const QModelIndex& i) { cellEdited(index, i.row(), i.column()); };
  grid->setItemDelegateForColumn(kTtFreqA, new CellEditDelegate(ended, grid));
  grid->setItemDelegateForColumn(kTtFreqB, new CellEditDelegate(ended, grid));
  grid->setItemDelegateForColumn(kTtTimeA, new TimeListDelegate(twoToneDurations(), ended, grid));
  grid->setItemDelegateForColumn(kTtTimeB, new TimeListDelegate(twoToneDurations(), ended, grid));
  grid->setItemDelegateForColumn(kTtPause, new TimeListDelegate(twoTonePauses(), ended, grid));
  showing_ = true;
  for (int r = 0; r < kTwoToneRowsPerGrid; ++r) {
    // Column 0: the entry number, not editable.
    auto* number = new QTableWidgetItem(QString::number(index * kTwoToneRowsPerGrid + r + 1));
    number->setFlags(number->flags() & ~Qt::ItemIsEditable);
    grid->setItem(r, kTtNumber, number);
    for (int c = kTtFreqA; c <= kTtPause; ++c) grid->setItem(r, c, new QTableWidgetItem);
  }
  showing_ = false;
  fitGrid(grid);
  connect(grid, &QTableWidget::cellChanged, this, [this, index](int r, int c) { cellEdited(index, r, c); });
}

void TwoToneGrids::fitGrid(QTableWidget* grid) {
  // Each column as wide as its caption or its widest text (a frequency such
  // as 3000.0, an in-cell list with its arrow), and the grid as large as all
  // six columns and all eight rows, so nothing needs scrolling.
  const QFontMetrics fm(grid->font());
  const int pad = fm.horizontalAdvance(u'M');
  const int listArrow = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QString widest[kTwoToneColumns] = {QStringLiteral("16"), QStringLiteral("3000.0"), QStringLiteral("10.0"),
                                           QStringLiteral("3000.0"), QStringLiteral("10.0"), QStringLiteral("2.0")};
  int width = 2 * grid->frameWidth();
  for (int c = 0; c < kTwoToneColumns; ++c) {
    const QString caption = grid->horizontalHeaderItem(c) ? grid->horizontalHeaderItem(c)->text() : QString();
    // A list column shows its pick list's arrow while it is being edited.
    const bool list = c == kTtTimeA || c == kTtTimeB || c == kTtPause;
    const int w = std::max(fm.horizontalAdvance(caption), fm.horizontalAdvance(widest[c]) + (list ? listArrow : 0)) + pad;
    grid->setColumnWidth(c, w);
    width += w;
  }
  grid->horizontalHeader()->setStretchLastSection(true);
  const int rowHeight = fm.height() + 6;
  grid->verticalHeader()->setDefaultSectionSize(rowHeight);
  const int height = 2 * grid->frameWidth() + grid->horizontalHeader()->sizeHint().height() + kTwoToneRowsPerGrid * rowHeight;
  grid->setMinimumSize(width, height);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TwoToneGrids::refresh() {
  guarded(log_, "frmChMem->InitOpt:", [&] { model_->refresh(); });
  showCells();
}

void TwoToneGrids::redraw() {
  guarded(log_, "frmChMem->InitOpt:", [&] { model_->redraw(); });
  showCells();
}

void TwoToneGrids::cellEdited(int gridIndex, int row, int column) {
  if (showing_ || column < kTtFreqA || column > kTtPause) return;
  const QTableWidgetItem* item = grids_[static_cast<size_t>(gridIndex)]->item(row, column);
  model_->edit(gridIndex * kTwoToneRowsPerGrid + row, column, item ? item->text() : QString());
  // The validation may have changed any cell of either grid.
  showCells();
}

void TwoToneGrids::showCells() {
  showing_ = true;
  for (int n = 0; n < kTwoToneEntries; ++n) {
    QTableWidget* grid = grids_[static_cast<size_t>(n / kTwoToneRowsPerGrid)];
    for (int c = kTtFreqA; c <= kTtPause; ++c)
      if (QTableWidgetItem* item = grid->item(n % kTwoToneRowsPerGrid, c)) item->setText(model_->cell(n, c));
  }
  showing_ = false;
}

}  // namespace zr
