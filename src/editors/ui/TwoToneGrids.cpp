#include "editors/ui/TwoToneGrids.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>

#include "editors/TwoToneTable.h"
#include "shell/Core.h"
#include "shell/ErrorLog.h"
#include "shell/ui/NoSearchViews.h"

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
    : TwoToneGrids(core.image.TempArray, core.log, core.CurLang, parent) {}

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
  connect(grid, &QTableWidget::cellChanged, this, [this, index](int r, int c) { cellEdited(index, r, c); });
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
