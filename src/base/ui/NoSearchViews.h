#pragma once
// Grids without the item views' keyboard search. A typed character starts an
// edit of the current cell (where the grid's rules allow one) or does
// nothing; it never moves the cursor to another row whose text starts with
// it, where the next characters would land in another channel.
#include <QTableView>
#include <QTableWidget>

namespace zr {

class NoSearchTableWidget : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;
  void keyboardSearch(const QString&) override {}
};

class NoSearchTableView : public QTableView {
 public:
  using QTableView::QTableView;
  void keyboardSearch(const QString&) override {}
};

}  // namespace zr
