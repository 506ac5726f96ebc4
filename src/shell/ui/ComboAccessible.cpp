#include "shell/ui/ComboAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLineEdit>

namespace zr {

namespace {

// The pop-up list marks the entry shown as its current, selected one, so a
// reader that takes a list's value from the selected entry of its pop-up
// (Orca does) hears the shown entry, also while the pop-up is closed.
void selectShownEntry(QComboBox* box) {
  QAbstractItemView* view = box->view();
  if (!view || !view->selectionModel() || !box->model()) return;
  const QModelIndex shown = box->model()->index(box->currentIndex(), box->modelColumn(), box->rootModelIndex());
  if (!shown.isValid()) {
    view->selectionModel()->clearSelection();
    return;
  }
  if (view->selectionModel()->currentIndex() != shown || !view->selectionModel()->isSelected(shown))
    view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect);
}

QAccessibleInterface* comboFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QComboBox")) return nullptr;
  auto* box = qobject_cast<QComboBox*>(object);
  return box ? new ComboAccessible(box) : nullptr;
}

}  // namespace

ComboAccessible::ComboAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
  selectShownEntry(box);
  QObject::connect(box, &QComboBox::currentIndexChanged, box, [box] { selectShownEntry(box); });
}

void ComboAccessible::install() { QAccessible::installFactory(comboFactory); }

QComboBox* ComboAccessible::box() const { return static_cast<QComboBox*>(object()); }

QString ComboAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  switch (t) {
    case QAccessible::Name:
      // The given name, else the buddy label: never the shown entry.
      return QAccessibleWidget::text(QAccessible::Name);
    case QAccessible::Value:
      return box()->isEditable() && box()->lineEdit() ? box()->lineEdit()->text() : box()->currentText();
    case QAccessible::Accelerator:
      return QKeySequence(Qt::ALT | Qt::Key_Down).toString(QKeySequence::NativeText);
    default:
      return QAccessibleWidget::text(t);
  }
}

QAccessible::State ComboAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  if (!isValid()) return s;
  s.expandable = true;
  s.expanded = box()->view() && box()->view()->isVisible();
  s.editable = box()->isEditable();
  return s;
}

int ComboAccessible::childCount() const {
  if (!isValid()) return 0;
  return box()->isEditable() && box()->lineEdit() ? 2 : 1;
}

QAccessibleInterface* ComboAccessible::child(int index) const {
  if (!isValid()) return nullptr;
  if (index == 0) {
    // The pages set their lists with signals blocked when they reload, so
    // the selection is brought up to date whenever a reader looks there.
    selectShownEntry(box());
    return QAccessible::queryAccessibleInterface(box()->view());
  }
  if (index == 1 && box()->isEditable()) return QAccessible::queryAccessibleInterface(box()->lineEdit());
  return nullptr;
}

int ComboAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!isValid() || !child) return -1;
  if (child->object() == box()->view()) return 0;
  if (box()->isEditable() && child->object() == box()->lineEdit()) return 1;
  return -1;
}

QAccessibleInterface* ComboAccessible::childAt(int x, int y) const {
  if (!isValid() || !box()->isEditable() || !box()->lineEdit()) return nullptr;
  const QLineEdit* line = box()->lineEdit();
  return QRect(line->mapToGlobal(QPoint(0, 0)), line->size()).contains(x, y) ? child(1) : nullptr;
}

QStringList ComboAccessible::actionNames() const { return {showMenuAction(), pressAction()}; }

void ComboAccessible::doAction(const QString& actionName) {
  if (!isValid() || (actionName != showMenuAction() && actionName != pressAction())) return;
  if (box()->view() && box()->view()->isVisible()) box()->hidePopup();
  else box()->showPopup();
}

QStringList ComboAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == showMenuAction() || actionName == pressAction())
    return {QKeySequence(Qt::ALT | Qt::Key_Down).toString(QKeySequence::NativeText)};
  return {};
}

}  // namespace zr
