#pragma once
// Keyboard focus across the main window: F6 and Shift+F6 move between its
// panes (navigation tree, the shown child window, channel grid, settings
// pages, error log), and a dialog gives the focus back to the control that
// had it when the dialog opened.
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QMainWindow;

namespace zr {

// The panes F6 visits, by object name, in the order it visits them. Hidden
// or disabled panes are passed over.
const QStringList& paneNames();

// The pane after (or before) the one holding the focus, among the panes of
// `window` that are shown and enabled; null when there is none.
QWidget* nextPane(QWidget* window, bool forward);

// Binds F6 and Shift+F6 on `window`.
void installPaneCycling(QMainWindow* window);

// Keeps the control that has the focus while a dialog runs, and gives the
// focus back to it when the keeper goes out of scope (if it is still shown).
class FocusKeeper {
 public:
  FocusKeeper();
  ~FocusKeeper();
  FocusKeeper(const FocusKeeper&) = delete;
  FocusKeeper& operator=(const FocusKeeper&) = delete;

 private:
  QPointer<QWidget> widget_;
};

}  // namespace zr
