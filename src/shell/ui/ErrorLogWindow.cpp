#include "shell/ui/ErrorLogWindow.h"

#include <QCloseEvent>
#include <QListWidget>

#include "base/ErrorLog.h"

namespace zr {

ErrorLogWindow::ErrorLogWindow(ErrorLog& log, QWidget* parent)
    : QDockWidget(QStringLiteral("提示"), parent), log_(log), list_(new QListWidget(this)) {
  setObjectName(QStringLiteral("frmShowErr"));
  list_->setObjectName(QStringLiteral("listShowErr"));
  list_->setUniformItemSizes(true);
  // The title is the radio's own caption; a screen reader says what it is.
  setAccessibleName(QStringLiteral("Error log"));
  list_->setAccessibleName(QStringLiteral("Error log"));
  setWidget(list_);
  connect(&log_, &ErrorLog::loaded, this, [this] {
    reload();
    show();
    raise();
  });
  connect(&log_, &ErrorLog::lineInserted, this, [this](int pos, const QString& text) {
    list_->insertItem(pos, text);
    list_->setCurrentRow(pos);
    list_->scrollToItem(list_->item(pos));
  });
  connect(&log_, &ErrorLog::detailAdded, this, [this](int pos, const QString& detail) {
    if (QListWidgetItem* item = list_->item(pos)) item->setToolTip(detail);
  });
  reload();
}

void ErrorLogWindow::reload() {
  list_->clear();
  list_->addItems(log_.lines());
  if (log_.selected() >= 0) list_->setCurrentRow(log_.selected());
}

void ErrorLogWindow::closeEvent(QCloseEvent* e) {
  // Closing unloads the log: the next report starts a fresh list.
  log_.unload();
  list_->clear();
  QDockWidget::closeEvent(e);
}

}  // namespace zr
