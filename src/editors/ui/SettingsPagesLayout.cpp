#include "editors/ui/SettingsPagesLayout.h"

#include <QWidget>
#include <algorithm>
#include <climits>

namespace zr {

namespace {

constexpr int kLabelGap = 6;     // between a label and its control
constexpr int kColumnGap = 18;   // between columns of fields
constexpr int kRowGap = 4;       // between rows of fields
constexpr int kGroupGap = 8;     // between the labelled fields and the others
constexpr int kFrameGap = 6;     // between frames, both ways
// Beyond this many frames in one layout the columns are not searched (2^(n-1)
// ways to break them); the frames then stack in one column.
constexpr int kMaxSearchedFrames = 10;

int ceilDiv(int a, int b) { return b <= 0 ? 0 : (a + b - 1) / b; }

QRect inner(const QLayout& l, const QRect& r) {
  const QMargins m = l.contentsMargins();
  return r.marginsRemoved(m);
}

}  // namespace

// ---- FieldColumnsLayout -----------------------------------------------------

FieldColumnsLayout::FieldColumnsLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }

FieldColumnsLayout::~FieldColumnsLayout() {
  for (Entry& e : entries_) {
    delete e.label;
    delete e.field;
  }
}

void FieldColumnsLayout::addPair(QWidget* label, QWidget* field) {
  addChildWidget(label);
  addChildWidget(field);
  entries_.push_back({new QWidgetItem(label), new QWidgetItem(field)});
  invalidate();
}

void FieldColumnsLayout::addSingle(QWidget* widget) {
  addChildWidget(widget);
  addItem(new QWidgetItem(widget));
}

void FieldColumnsLayout::addItem(QLayoutItem* item) {
  entries_.push_back({nullptr, item});
  invalidate();
}

std::vector<QWidget*> FieldColumnsLayout::visualOrder() const {
  std::vector<QWidget*> out;
  for (const bool labelled : {true, false})
    for (const Entry& e : entries_)
      if ((e.label != nullptr) == labelled && e.field->widget()) out.push_back(e.field->widget());
  return out;
}

int FieldColumnsLayout::count() const {
  int n = 0;
  for (const Entry& e : entries_) n += e.label ? 2 : 1;
  return n;
}

QLayoutItem* FieldColumnsLayout::itemAt(int index) const {
  for (const Entry& e : entries_) {
    if (e.label) {
      if (index == 0) return e.label;
      --index;
    }
    if (index == 0) return e.field;
    --index;
  }
  return nullptr;
}

QLayoutItem* FieldColumnsLayout::takeAt(int index) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    QLayoutItem* taken = nullptr;
    if (it->label) {
      if (index == 0) {
        // The control stays, now without a label.
        taken = it->label;
        it->label = nullptr;
      } else {
        --index;
      }
    }
    if (!taken && index == 0) {
      taken = it->field;
      if (it->label) {
        // A label without its control goes on as a control of its own.
        it->field = it->label;
        it->label = nullptr;
      } else {
        entries_.erase(it);
      }
    }
    if (taken) {
      invalidate();
      return taken;
    }
    --index;
  }
  return nullptr;
}

std::vector<FieldColumnsLayout::Cell> FieldColumnsLayout::cells(bool labelled) const {
  std::vector<Cell> out;
  for (const Entry& e : entries_) {
    if (e.field->isEmpty() || (e.label != nullptr) != labelled) continue;
    out.push_back({e.label, e.field, e.label ? e.label->sizeHint() : QSize(), e.field->sizeHint()});
  }
  return out;
}

FieldColumnsLayout::Columns FieldColumnsLayout::columnsWithRows(const std::vector<Cell>& cells, int rows) {
  Columns c;
  const int n = static_cast<int>(cells.size());
  if (n == 0) return c;
  c.rows = std::clamp(rows, 1, n);
  const int count = ceilDiv(n, c.rows);
  c.labelWidths.assign(static_cast<size_t>(count), 0);
  c.fieldWidths.assign(static_cast<size_t>(count), 0);
  for (int i = 0; i < n; ++i) {
    const Cell& cell = cells[static_cast<size_t>(i)];
    const size_t col = static_cast<size_t>(i / c.rows);
    c.labelWidths[col] = std::max(c.labelWidths[col], cell.labelSize.width());
    c.fieldWidths[col] = std::max(c.fieldWidths[col], cell.fieldSize.width());
    c.rowHeight = std::max({c.rowHeight, cell.labelSize.height(), cell.fieldSize.height()});
  }
  for (size_t col = 0; col < c.labelWidths.size(); ++col) {
    const int gap = c.labelWidths[col] > 0 ? kLabelGap : 0;
    c.width += c.labelWidths[col] + gap + c.fieldWidths[col] + (col > 0 ? kColumnGap : 0);
  }
  return c;
}

FieldColumnsLayout::Columns FieldColumnsLayout::columnsFor(const std::vector<Cell>& cells, int width) {
  // As many columns as fit (fewest rows), each as wide as its widest field.
  const int n = static_cast<int>(cells.size());
  for (int rows = 1; rows < n; ++rows) {
    Columns c = columnsWithRows(cells, rows);
    if (c.width <= width) return c;
  }
  return columnsWithRows(cells, n);
}

int FieldColumnsLayout::place(const std::vector<Cell>& cells, const Columns& c, int x0, int y0, bool apply) {
  if (cells.empty()) return 0;
  if (apply) {
    int x = x0;
    for (size_t i = 0; i < cells.size(); ++i) {
      const size_t col = i / static_cast<size_t>(c.rows);
      if (i > 0 && i % static_cast<size_t>(c.rows) == 0)
        x += c.labelWidths[col - 1] + (c.labelWidths[col - 1] > 0 ? kLabelGap : 0) + c.fieldWidths[col - 1] + kColumnGap;
      const int top = y0 + static_cast<int>(i % static_cast<size_t>(c.rows)) * (c.rowHeight + kRowGap);
      const Cell& cell = cells[i];
      int fx = x;
      if (cell.label) {
        cell.label->setGeometry(QRect(x, top, c.labelWidths[col], c.rowHeight));
        fx += c.labelWidths[col] + kLabelGap;
      }
      const int h = std::min(cell.fieldSize.height(), c.rowHeight);
      cell.field->setGeometry(QRect(fx, top + (c.rowHeight - h) / 2, cell.fieldSize.width(), h));
    }
  }
  return c.rows * c.rowHeight + (c.rows - 1) * kRowGap;
}

int FieldColumnsLayout::arrange(const QRect& rect, bool apply) const {
  const QRect area = inner(*this, rect);
  const std::vector<Cell> pairs = cells(true), singles = cells(false);
  int y = area.y();
  y += place(pairs, columnsFor(pairs, area.width()), area.x(), y, apply);
  if (!pairs.empty() && !singles.empty()) y += kGroupGap;
  y += place(singles, columnsFor(singles, area.width()), area.x(), y, apply);
  return y - rect.y() + contentsMargins().bottom();
}

int FieldColumnsLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize FieldColumnsLayout::sizeHint() const {
  const int rows = std::max(1, preferredRows_);
  const Columns p = columnsWithRows(cells(true), rows), s = columnsWithRows(cells(false), rows);
  const QMargins mg = contentsMargins();
  const int width = std::max(p.width, s.width) + mg.left() + mg.right();
  return {width, heightForWidth(width)};
}

QSize FieldColumnsLayout::minimumSize() const {
  const std::vector<Cell> pairs = cells(true), singles = cells(false);
  const Columns p = columnsWithRows(pairs, static_cast<int>(pairs.size()));
  const Columns s = columnsWithRows(singles, static_cast<int>(singles.size()));
  const QMargins mg = contentsMargins();
  // The height follows the width (heightForWidth); a single line is the least.
  return {std::max(p.width, s.width) + mg.left() + mg.right(),
          std::max(p.rowHeight, s.rowHeight) + mg.top() + mg.bottom()};
}

void FieldColumnsLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

// ---- FrameColumnsLayout -----------------------------------------------------

FrameColumnsLayout::FrameColumnsLayout(QWidget* parent) : QLayout(parent) { setContentsMargins(0, 0, 0, 0); }

FrameColumnsLayout::~FrameColumnsLayout() {
  for (QLayoutItem* item : items_) delete item;
}

void FrameColumnsLayout::addItem(QLayoutItem* item) {
  items_.push_back(item);
  invalidate();
}

QLayoutItem* FrameColumnsLayout::itemAt(int index) const {
  return index >= 0 && index < count() ? items_[static_cast<size_t>(index)] : nullptr;
}

QLayoutItem* FrameColumnsLayout::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = items_[static_cast<size_t>(index)];
  items_.erase(items_.begin() + index);
  invalidate();
  return item;
}

void FrameColumnsLayout::invalidate() {
  cachedWidth_ = -1;
  QLayout::invalidate();
}

int FrameColumnsLayout::itemHeight(QLayoutItem* item, int width) const {
  return item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
}

FrameColumnsLayout::Plan FrameColumnsLayout::plan(int width) const {
  if (width == cachedWidth_) return cachedPlan_;
  std::vector<QLayoutItem*> shown;
  for (QLayoutItem* item : items_)
    if (!item->isEmpty()) shown.push_back(item);
  const int n = static_cast<int>(shown.size());
  Plan best;
  best.columnWidth = width;
  if (n > 0) {
    const int maxColumns = n > kMaxSearchedFrames ? 1 : n;
    int widest = 0;
    for (QLayoutItem* item : shown) widest = std::max(widest, item->minimumSize().width());
    // Heights of every frame at the column width of k columns.
    std::vector<std::vector<int>> heights(static_cast<size_t>(maxColumns) + 1);
    for (int k = 1; k <= maxColumns; ++k) {
      const int w = (width - (k - 1) * kFrameGap) / k;
      if (k > 1 && w < widest) break;
      for (QLayoutItem* item : shown) heights[static_cast<size_t>(k)].push_back(itemHeight(item, w));
    }
    best.height = INT_MAX;
    int bestColumns = 0;
    // Every way to break the frames into consecutive columns: bit i set means
    // a new column starts at frame i + 1.
    const unsigned ways = maxColumns == 1 ? 1u : (1u << (n - 1));
    for (unsigned mask = 0; mask < ways; ++mask) {
      const int k = 1 + __builtin_popcount(mask);
      const std::vector<int>& h = heights[static_cast<size_t>(k)];
      if (h.empty()) continue;
      int tallest = 0, column = 0;
      for (int i = 0; i < n; ++i) {
        column += h[static_cast<size_t>(i)] + (column > 0 ? kFrameGap : 0);
        if (i == n - 1 || (mask & (1u << i))) {
          tallest = std::max(tallest, column);
          column = 0;
        }
      }
      if (tallest < best.height || (tallest == best.height && k < bestColumns)) {
        best.height = tallest;
        bestColumns = k;
        best.columnWidth = (width - (k - 1) * kFrameGap) / k;
        best.breaks.clear();
        for (int i = 0; i < n - 1; ++i)
          if (mask & (1u << i)) best.breaks.push_back(i + 1);
      }
    }
  }
  cachedWidth_ = width;
  cachedPlan_ = best;
  return best;
}

int FrameColumnsLayout::heightForWidth(int width) const {
  const QMargins m = contentsMargins();
  return plan(width - m.left() - m.right()).height + m.top() + m.bottom();
}

QSize FrameColumnsLayout::sizeHint() const {
  // Side by side at their preferred widths, when the room is there.
  int width = 0;
  for (QLayoutItem* item : items_)
    if (!item->isEmpty()) width += item->sizeHint().width() + (width > 0 ? kFrameGap : 0);
  const QMargins m = contentsMargins();
  width += m.left() + m.right();
  return {width, heightForWidth(width)};
}

QSize FrameColumnsLayout::minimumSize() const {
  int width = 0, height = 0;
  for (QLayoutItem* item : items_)
    if (!item->isEmpty()) {
      width = std::max(width, item->minimumSize().width());
      height = std::max(height, item->minimumSize().height());
    }
  const QMargins m = contentsMargins();
  // The height follows the width (heightForWidth); the smallest frame is the least.
  return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FrameColumnsLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const QRect area = inner(*this, rect);
  const Plan p = plan(area.width());
  int x = area.x(), y = area.y(), index = 0;
  size_t nextBreak = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    if (nextBreak < p.breaks.size() && index == p.breaks[nextBreak]) {
      ++nextBreak;
      x += p.columnWidth + kFrameGap;
      y = area.y();
    }
    const int h = itemHeight(item, p.columnWidth);
    item->setGeometry(QRect(x, y, p.columnWidth, h));
    y += h + kFrameGap;
    ++index;
  }
}

}  // namespace zr
