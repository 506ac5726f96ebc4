#pragma once
// The two layouts of the settings pages. Both fill the width they get and
// grow downwards (height for width), so a page reflows when the window or
// the split between the two tab sets changes and scrolls only vertically.
//
// FieldColumnsLayout: the fields of one frame, first the labelled fields
// (label and control side by side) and then the controls of their own (check
// boxes, buttons), each group in as many columns as the width holds, filled
// top to bottom in table order.
//
// FrameColumnsLayout: frames (or other blocks) in columns; it picks the
// number of columns and where to break them so that the tallest column is as
// short as the width allows, keeping the frames in order.
#include <QLayout>
#include <QSize>
#include <vector>

namespace zr {

class FieldColumnsLayout : public QLayout {
 public:
  explicit FieldColumnsLayout(QWidget* parent = nullptr);
  ~FieldColumnsLayout() override;

  void addPair(QWidget* label, QWidget* field);
  void addSingle(QWidget* widget);
  // The size hint's columns: as few as keep each group within this many rows.
  void setPreferredRows(int rows) { preferredRows_ = rows; }

  // The controls in the order the eye reads them: the labelled fields, then
  // the controls of their own, each group column by column.
  std::vector<QWidget*> visualOrder() const;

  void addItem(QLayoutItem* item) override;  // a single
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  void setGeometry(const QRect& rect) override;
  Qt::Orientations expandingDirections() const override { return {}; }

 private:
  struct Entry {
    QLayoutItem* label;  // null for a control of its own
    QLayoutItem* field;
  };
  // A field as laid out: its label (null for a control of its own) and control.
  struct Cell {
    QLayoutItem* label;
    QLayoutItem* field;
    QSize labelSize, fieldSize;
  };
  // Columns of a group of cells filled top to bottom, `rows` to a column.
  struct Columns {
    int rows = 0, rowHeight = 0, width = 0;
    std::vector<int> labelWidths, fieldWidths;
  };
  std::vector<Cell> cells(bool labelled) const;
  static Columns columnsWithRows(const std::vector<Cell>& cells, int rows);
  static Columns columnsFor(const std::vector<Cell>& cells, int width);
  // Sets the geometry of the cells when `apply`; returns the height they take.
  static int place(const std::vector<Cell>& cells, const Columns& c, int x, int y, bool apply);
  // Lays out inside `rect` (margins included) when `apply`; returns the height used.
  int arrange(const QRect& rect, bool apply) const;

  std::vector<Entry> entries_;
  int preferredRows_ = 8;
};

class FrameColumnsLayout : public QLayout {
 public:
  explicit FrameColumnsLayout(QWidget* parent = nullptr);
  ~FrameColumnsLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  void setGeometry(const QRect& rect) override;
  Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
  void invalidate() override;

 private:
  struct Plan {
    int height = 0;
    int columnWidth = 0;
    std::vector<int> breaks;  // index of the first item of each column after the first
  };
  Plan plan(int width) const;
  int itemHeight(QLayoutItem* item, int width) const;

  std::vector<QLayoutItem*> items_;
  mutable int cachedWidth_ = -1;
  mutable Plan cachedPlan_;
};

}  // namespace zr
