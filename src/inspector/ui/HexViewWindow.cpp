#include "inspector/ui/HexViewWindow.h"

#include <QBrush>
#include <QCloseEvent>
#include <QColor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QGuiApplication>
#include <QScrollBar>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "base/Contrast.h"
#include "inspector/ui/FillDialog.h"
#include "data/Core.h"
#include "base/ui/NoSearchViews.h"

namespace zr {

namespace {


int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// Where the window's place and size are kept: "x,y,width,height".
const QString kGeometryKey = QStringLiteral("MemDatWindow");
constexpr int kRowsInView = 16;  // the window opens with this many rows of bytes in view

// In-place editor of a byte cell: up to four hexadecimal digits, the most
// the cell's digit reading takes. Whether the value fits a byte is the
// model's decision.
class ByteCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      edit->setMaxLength(4);
      edit->setAlignment(Qt::AlignCenter);
      edit->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,4}")), edit));
    }
    return w;
  }
};

}  // namespace

// ---- the adapter ------------------------------------------------------------

HexGridModel::HexGridModel(HexView& view, QObject* parent) : QAbstractTableModel(parent), view_(view) {
  connect(&view_, &HexView::gridLaidOut, this, [this] {
    beginResetModel();
    endResetModel();
  });
  connect(&view_, &HexView::cellsChanged, this, [this](int first, int last) {
    if (view_.dataRows() == 0) return;
    const int lastRow = std::min(HexView::rowOf(last), view_.dataRows()) - 1;
    emit dataChanged(index(HexView::rowOf(first) - 1, 1), index(lastRow, HexView::kColumns - 1),
                     {Qt::DisplayRole, Qt::EditRole, Qt::ForegroundRole});
  });
}

int HexGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : view_.dataRows(); }

int HexGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : HexView::kColumns; }

QVariant HexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1;  // the model's row 0 is the grid's header
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return view_.text(row, col);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ForegroundRole:
      if (col == 0) return {};
      {
        // Black and the changed-byte red are made readable on a dark scheme.
        const QPalette pal;
        const uint32_t rgb = readableOn(zr::fromColourNumber(view_.colour(row, col)),
                                        pal.color(QPalette::Base).rgb() & 0xFFFFFF, pal.color(QPalette::Text).rgb() & 0xFFFFFF);
        return QVariant(QBrush(QColor::fromRgb(rgb)));
      }
    case Qt::BackgroundRole:
      // The address column looks like a header, as a fixed column does.
      return col == 0 ? QVariant(QPalette().brush(QPalette::Button)) : QVariant();
    case Qt::ToolTipRole: {
      const QString tip = view_.CellTipHint(row, col);
      return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
      return {};
  }
}

bool HexGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  return view_.editCell(index.row() + 1, index.column(), value.toString());
}

QVariant HexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return view_.text(0, section);
  return view_.text(section + 1, 0);
}

Qt::ItemFlags HexGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (index.column() == 0) return Qt::ItemIsEnabled;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (view_.editable(index.row() + 1, index.column())) f |= Qt::ItemIsEditable;
  return f;
}

// ---- the window ------------------------------------------------------------

HexViewWindow::HexViewWindow(Core& core, HexView& view, RangeFill& fill, QWidget* parent)
    : QWidget(parent, Qt::Window), core_(core), view_(view), fill_(fill) {
  setObjectName(QStringLiteral("frmMemDat"));
  setWindowTitle(QStringLiteral("Memory Data"));

  fraMemData_ = new QGroupBox(QStringLiteral("Memory Data"), this);
  fraMemData_->setObjectName(QStringLiteral("fraMemData"));

  model_ = new HexGridModel(view_, this);
  grid_ = new NoSearchTableView(fraMemData_);
  grid_->setObjectName(QStringLiteral("vsfgGridMemDat"));
  grid_->setModel(model_);
  grid_->setItemDelegate(new ByteCellDelegate(grid_));
  grid_->verticalHeader()->hide();
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  // The arrow keys move between the bytes; Tab reaches the buttons.
  grid_->setTabKeyNavigation(false);
  grid_->setAccessibleName(QStringLiteral("Memory data"));
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  QFont font = grid_->font();
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("monospace")});
  grid_->setFont(font);

  cmdPartFill_ = new QPushButton(QStringLiteral("Part Fill"), fraMemData_);
  cmdPartFill_->setObjectName(QStringLiteral("cmdPartFill"));
  cmdFillGrid_ = new QPushButton(QStringLiteral("Fill Gird"), fraMemData_);
  cmdFillGrid_->setObjectName(QStringLiteral("cmdFillGrid"));
  cmdSetDefCol_ = new QPushButton(QStringLiteral("Set Def Color"), fraMemData_);
  cmdSetDefCol_->setObjectName(QStringLiteral("cmdSetDefCol"));

  auto* buttons = new QHBoxLayout();
  buttons->addWidget(cmdPartFill_);
  buttons->addWidget(cmdFillGrid_);
  buttons->addWidget(cmdSetDefCol_);
  buttons->addStretch(1);
  auto* frameLayout = new QVBoxLayout(fraMemData_);
  frameLayout->addWidget(grid_, 1);
  frameLayout->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fraMemData_);

  connect(cmdPartFill_, &QPushButton::clicked, this, [this] { cmdPartFill_Click(); });
  connect(cmdFillGrid_, &QPushButton::clicked, this, [this] { cmdFillGrid_Click(); });
  connect(cmdSetDefCol_, &QPushButton::clicked, this, [this] { cmdSetDefCol_Click(); });
  connect(&view_, &HexView::gridLaidOut, this, [this] { applyLayout(); });
  connect(&view_, &HexView::currentCellChanged, this, [this](int r, int c) { followCurrentCell(r, c); });

  applyLayout();
  followCurrentCell(view_.currentRow(), view_.currentCol());
}

void HexViewWindow::applyLayout() {
  const int dpi = logicalDpiY();
  const int rowHeight = twipsToPixels(HexView::kRowHeightTwips, dpi);
  QHeaderView* rows = grid_->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(rowHeight);
  QHeaderView* cols = grid_->horizontalHeader();
  cols->setFixedHeight(rowHeight);
  cols->setMinimumSectionSize(1);
  cols->setSectionResizeMode(QHeaderView::Fixed);
  // The configured widths, or wider where the font needs it: the address
  // column shows all four digits and the "H", a byte column two digits.
  const QFontMetrics fm(grid_->font());
  const int pad = fm.horizontalAdvance(u'0') * 3 / 2;
  const int addrWidth = std::max(twipsToPixels(HexView::kAddrColumnTwips, logicalDpiX()),
                                 fm.horizontalAdvance(QStringLiteral("0000H")) + pad);
  const int byteWidth = std::max(twipsToPixels(HexView::kByteColumnTwips, logicalDpiX()),
                                 fm.horizontalAdvance(QStringLiteral("FF")) + pad);
  grid_->setColumnWidth(0, addrWidth);
  for (int c = 1; c < HexView::kColumns; ++c) grid_->setColumnWidth(c, byteWidth);
  rows->setDefaultSectionSize(std::max(rowHeight, fm.height() + 4));
  cols->setFixedHeight(std::max(rowHeight, fm.height() + 4));
}

QSize HexViewWindow::sizeHint() const {
  // All sixteen byte columns and about sixteen rows, with the buttons below.
  int width = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < HexView::kColumns; ++c) width += grid_->columnWidth(c);
  const int height = 2 * grid_->frameWidth() + grid_->horizontalHeader()->height() +
                     kRowsInView * grid_->verticalHeader()->defaultSectionSize();
  const QMargins outer = layout()->contentsMargins();
  const int chrome = cmdPartFill_->sizeHint().height() + 4 * layout()->spacing() + outer.top() + outer.bottom() +
                     fraMemData_->sizeHint().height() - fraMemData_->layout()->sizeHint().height() + 40;
  return {width + outer.left() + outer.right() + 40, height + chrome};
}

void HexViewWindow::restorePlace() {
  const QStringList v = core_.ini.GetString(kSettingSection, kGeometryKey, QString(), 40).split(u',');
  const QSize hint = sizeHint();
  if (v.size() == 4) {
    bool ok[4] = {};
    const int x = v[0].toInt(&ok[0]), y = v[1].toInt(&ok[1]), w = v[2].toInt(&ok[2]), h = v[3].toInt(&ok[3]);
    if (ok[0] && ok[1] && ok[2] && ok[3] && w >= 200 && h >= 150) {
      resize(w, h);
      // A place off every screen (another monitor set-up) is not restored.
      if (QGuiApplication::screenAt(QPoint(x + 20, y + 20))) move(x, y);
      return;
    }
  }
  resize(hint);
}

void HexViewWindow::hideEvent(QHideEvent* e) {
  // The place and size are kept for the next run.
  core_.ini.WriteString(kSettingSection, kGeometryKey,
                        QStringLiteral("%1,%2,%3,%4").arg(x()).arg(y()).arg(width()).arg(height()));
  QWidget::hideEvent(e);
}

void HexViewWindow::followCurrentCell(int row, int col) {
  if (row < 1 || row > view_.dataRows()) return;
  const QModelIndex i = model_->index(row - 1, col);
  grid_->setCurrentIndex(i);
  grid_->scrollTo(i);
}

FillDialog* HexViewWindow::ensureFillDialog() {
  if (!fillDialog_) fillDialog_ = new FillDialog(core_, fill_, this);
  return fillDialog_;
}

void HexViewWindow::setShown(bool show) {
  if (!show) {
    hide();
    return;
  }
  if (!placed_) {
    restorePlace();
    placed_ = true;
  }
  this->show();
  raise();
  activateWindow();
}

void HexViewWindow::cmdPartFill_Click() { ensureFillDialog()->exec(); }

void HexViewWindow::cmdFillGrid_Click() { view_.cmdFillGrid_Click(); }

void HexViewWindow::cmdSetDefCol_Click() { view_.cmdSetDefCol_Click(); }

void HexViewWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void HexViewWindow::closeEvent(QCloseEvent* e) {
  if (core_.settings.Leaving) {
    e->accept();
    return;
  }
  // An engineering window: it keeps its texts and colours for the next showing.
  e->ignore();
  hide();
}

}  // namespace zr
