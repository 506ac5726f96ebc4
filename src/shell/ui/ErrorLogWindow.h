#pragma once
// `frmShowErr`: the error log as a dockable tool window holding the list
// `listShowErr`. It follows the ErrorLog model: a report loads and shows it,
// closing it unloads the log.
#include <QDockWidget>

class QListWidget;

namespace zr {

class ErrorLog;

class ErrorLogWindow : public QDockWidget {
  Q_OBJECT
 public:
  ErrorLogWindow(ErrorLog& log, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void reload();
  ErrorLog& log_;
  QListWidget* list_;
};

}  // namespace zr
