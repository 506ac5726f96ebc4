#include "shell/ui/KeyboardFocus.h"

#include <QApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>

namespace zr {

namespace {

// A pane takes part when it is on the screen and can take the focus.
bool usable(const QWidget* w) { return w && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus; }

// The child window shown in the multi-document area, when it is not the
// channel window (whose grid and pages are panes of their own).
QWidget* shownChild(QWidget* window) {
  auto* mdi = window->findChild<QMdiArea*>();
  QMdiSubWindow* sub = mdi ? mdi->activeSubWindow() : nullptr;
  if (!sub && mdi && !mdi->subWindowList().isEmpty()) sub = mdi->subWindowList().constLast();
  QWidget* child = sub ? sub->widget() : nullptr;
  if (!child || child->objectName() == QLatin1String("frmChMem") || !child->isVisible()) return nullptr;
  // The first control of the window that takes the focus by Tab.
  QWidget* w = child->nextInFocusChain();
  while (w && w != child) {
    if (child->isAncestorOf(w) && usable(w) && (w->focusPolicy() & Qt::TabFocus)) return w;
    w = w->nextInFocusChain();
  }
  return nullptr;
}

QList<QWidget*> panes(QWidget* window) {
  QList<QWidget*> out;
  for (const QString& name : paneNames()) {
    QWidget* w = name.isEmpty() ? shownChild(window) : window->findChild<QWidget*>(name);
    if (usable(w)) out << w;
  }
  return out;
}

}  // namespace

const QStringList& paneNames() {
  // The empty name stands for a child window other than the channel window.
  static const QStringList names = {QStringLiteral("treevMain"), QString(), QStringLiteral("vsfgGridCh"),
                                    QStringLiteral("sstabSetMode"), QStringLiteral("sstabMoreFunc"),
                                    QStringLiteral("listShowErr")};
  return names;
}

QWidget* nextPane(QWidget* window, bool forward) {
  const QList<QWidget*> list = panes(window);
  if (list.isEmpty()) return nullptr;
  QWidget* focus = QApplication::focusWidget();
  qsizetype at = -1;
  for (qsizetype i = 0; i < list.size(); ++i)
    if (focus && (list[i] == focus || list[i]->isAncestorOf(focus))) at = i;
  const qsizetype n = list.size();
  if (at < 0) return forward ? list.front() : list.back();
  return list[(at + (forward ? 1 : n - 1)) % n];
}

void installPaneCycling(QMainWindow* window) {
  const auto bind = [window](const QKeySequence& key, bool forward, const char* name) {
    auto* s = new QShortcut(key, window);
    s->setObjectName(QString::fromLatin1(name));
    s->setContext(Qt::WindowShortcut);
    QObject::connect(s, &QShortcut::activated, window, [window, forward] {
      if (QWidget* pane = nextPane(window, forward)) pane->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    });
  };
  bind(QKeySequence(Qt::Key_F6), true, "keyNextPane");
  bind(QKeySequence(Qt::SHIFT | Qt::Key_F6), false, "keyPreviousPane");
  // Ctrl+Tab and Ctrl+Shift+Tab bring the next (previous) child window to
  // the front; the area's own switching never sees the keys, which the
  // grid and the page controls take first.
  const auto bindWindows = [window](const QKeySequence& key, bool forward, const char* name) {
    auto* s = new QShortcut(key, window);
    s->setObjectName(QString::fromLatin1(name));
    s->setContext(Qt::WindowShortcut);
    QObject::connect(s, &QShortcut::activated, window, [window, forward] {
      auto* mdi = window->findChild<QMdiArea*>();
      if (!mdi) return;
      if (forward) mdi->activateNextSubWindow();
      else mdi->activatePreviousSubWindow();
      // The focus goes to the window's first control (or the window itself).
      QMdiSubWindow* sub = mdi->activeSubWindow();
      QWidget* child = sub ? sub->widget() : nullptr;
      if (!child || child->isAncestorOf(QApplication::focusWidget())) return;
      QWidget* w = child->nextInFocusChain();
      while (w && w != child && !(child->isAncestorOf(w) && usable(w) && (w->focusPolicy() & Qt::TabFocus)))
        w = w->nextInFocusChain();
      (w && w != child ? w : child)->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    });
  };
  bindWindows(QKeySequence(Qt::CTRL | Qt::Key_Tab), true, "keyNextWindow");
  bindWindows(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), false, "keyPreviousWindow");
}

FocusKeeper::FocusKeeper() : widget_(QApplication::focusWidget()) {}

FocusKeeper::~FocusKeeper() {
  // In a window that is not in front yet this makes the control the one that
  // gets the focus when the window comes back.
  if (widget_ && widget_->isVisible() && widget_->isEnabled()) widget_->setFocus(Qt::OtherFocusReason);
}

}  // namespace zr
