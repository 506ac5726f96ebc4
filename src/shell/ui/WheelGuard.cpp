#include "shell/ui/WheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QWheelEvent>

namespace zr {

namespace {

// The control a wheel over `o` would change, or null.
QWidget* guardedControl(QObject* o) {
  auto* w = qobject_cast<QWidget*>(o);
  if (!w) return nullptr;
  if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w)) return w;
  // The line edit inside a spin box or an editable list.
  if (QWidget* p = w->parentWidget(); p && (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p)))
    return p;
  return nullptr;
}

}  // namespace

void WheelGuard::install() {
  if (!qApp || qApp->findChild<WheelGuard*>(QString(), Qt::FindDirectChildrenOnly)) return;
  qApp->installEventFilter(new WheelGuard(qApp));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Polish:
      // A control that takes the focus from the wheel would let the first
      // turn through; the focus comes from a click or the tab key instead.
      if (QWidget* c = guardedControl(watched); c == watched && c->focusPolicy() == Qt::WheelFocus)
        c->setFocusPolicy(Qt::StrongFocus);
      break;
    case QEvent::Wheel:
      if (QWidget* c = guardedControl(watched); c && !c->hasFocus()) {
        // Ignored and filtered: the application hands the wheel to the parent.
        event->ignore();
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zr
