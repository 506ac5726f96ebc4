#pragma once
// What a screen reader learns about a drop-down list (QComboBox).
//
// Qt's own description of a list gives, on Linux, the entry it shows as the
// list's name and leaves the label to a label relation. A list that shares
// its label with the rest of its row ("Radio ID digit 3", "VOX comparison
// value 7") has no relation of its own, so the reader never hears which list
// it is in; a list with a label is heard only where the reader follows the
// relation. This description answers, on every platform:
// - name: the name given to the list, else the text of its buddy label;
// - value: the entry it shows (the typed text of an editable list);
// - children: its pop-up list (whose selected entry is the one shown, as
//   readers look there for the value) and, when editable, its line;
// - actions: open or close the pop-up list.
// The desktop program installs it for every list of every window.
#include <QAccessibleWidget>

class QComboBox;

namespace zr {

class ComboAccessible : public QAccessibleWidget {
 public:
  explicit ComboAccessible(QComboBox* box);

  // Installs the description for every QComboBox created or asked about
  // from now on (once; a second call changes nothing).
  static void install();

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  QComboBox* box() const;
};

}  // namespace zr
