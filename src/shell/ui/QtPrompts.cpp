#include "shell/ui/QtPrompts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QAbstractButton>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

#include "shell/DesktopPlaces.h"
#include "shell/ui/KeyboardFocus.h"

namespace zr {

bool QtPrompts::askYesNo(const QString& title, const QString& text) {
  const FocusKeeper keeper;  // the focus goes back where it was
  return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

bool QtPrompts::askYesNoDontAskAgain(const QString& title, const QString& text, bool* dontAskAgain) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  // A stray Enter after the key does not do what was asked about.
  box.setDefaultButton(QMessageBox::No);
  auto* check = new QCheckBox(QStringLiteral("Do not ask again"), &box);
  check->setObjectName(QStringLiteral("chkDoNotAskWrite"));
  check->setAccessibleName(QStringLiteral("Do not ask again"));
  box.setCheckBox(check);
  const bool yes = box.exec() == QMessageBox::Yes;
  if (dontAskAgain) *dontAskAgain = check->isChecked();
  return yes;
}

UserPrompts::SaveChoice QtPrompts::askSaveDiscardCancel(const QString& title, const QString& text) {
  const FocusKeeper keeper;  // the focus goes back where it was
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                  parent_);
  box.setObjectName(QStringLiteral("unsavedChangesQuestion"));
  box.setAccessibleName(text);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
  }
}

int QtPrompts::askChoice(const QString& title, const QString& text, const QStringList& buttons) {
  const FocusKeeper keeper;  // the focus goes back where it was
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent_);
  std::vector<QAbstractButton*> made;
  for (qsizetype k = 0; k < buttons.size(); ++k) {
    const bool cancel = k == buttons.size() - 1;
    made.push_back(box.addButton(buttons[k], cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
  }
  // Enter and Escape both take the last answer (Cancel): a key pressed out
  // of habit never overwrites somebody else's change.
  if (!made.empty()) {
    box.setEscapeButton(made.back());
    box.setDefaultButton(qobject_cast<QPushButton*>(made.back()));
  }
  box.exec();
  for (size_t k = 0; k < made.size(); ++k)
    if (box.clickedButton() == made[k]) return static_cast<int>(k);
  return static_cast<int>(buttons.size()) - 1;
}

void QtPrompts::message(const QString& title, const QString& text, Icon icon) {
  const FocusKeeper keeper;  // the focus goes back where it was
  QMessageBox::Icon i = QMessageBox::Information;
  switch (icon) {
    case Icon::Information: i = QMessageBox::Information; break;
    case Icon::Question: i = QMessageBox::Question; break;
    case Icon::Error: i = QMessageBox::Critical; break;
    case Icon::Exclamation: i = QMessageBox::Warning; break;
  }
  QMessageBox box(i, title, text, QMessageBox::Ok, parent_);
  box.exec();
}

QString QtPrompts::qtFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (int k = 0; k + 1 < parts.size(); k += 2) {
    QString patterns = parts[k + 1];
    patterns.replace(u';', u' ');
    // "Data File(*.dat)" names its pattern already: Qt reads it from there.
    const QString& name = parts[k];
    if (name.contains(u'(' + patterns + u')')) out << name;
    else out << QStringLiteral("%1 (%2)").arg(name, patterns);
  }
  return out.join(QStringLiteral(";;"));
}

QString QtPrompts::startFolder(const QString& initialPath) const {
  return dialogStartFolder(initialPath, ini_ ? lastDialogFolder(*ini_) : QString());
}

void QtPrompts::remember(const QString& chosen) const {
  if (ini_) storeDialogFolder(*ini_, chosen);
}

namespace {
// Qt's own file dialog (where the desktop offers none) leaves its two lists
// without a name a screen reader can say: their labels are not linked to them.
void nameLists(QFileDialog& dlg) {
  if (auto* lookIn = dlg.findChild<QComboBox*>(QStringLiteral("lookInCombo")))
    lookIn->setAccessibleName(QStringLiteral("Look in"));
  if (auto* types = dlg.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
    types->setAccessibleName(QStringLiteral("Files of type"));
}
}  // namespace

QString QtPrompts::openFileName(const QString& filter, const QString& initialPath) {
  const FocusKeeper keeper;  // the focus goes back where it was
  QFileDialog dlg(parent_, QString(), startFolder(initialPath), qtFilter(filter));
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  nameLists(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  const QString chosen = dlg.selectedFiles().first();
  remember(chosen);
  return chosen;
}

QString QtPrompts::saveFileName(const QString& filter, const QString& initialPath, const QString& defaultSuffix) {
  const FocusKeeper keeper;  // the focus goes back where it was
  QFileDialog dlg(parent_, QString(), startFolder(initialPath), qtFilter(filter));
  // The dialog opens on the current file, so the question plus Enter saves
  // where the file came from.
  const QFileInfo current(initialPath);
  if (!initialPath.isEmpty() && !current.isDir()) dlg.selectFile(current.fileName());
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDefaultSuffix(defaultSuffix);
  nameLists(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  remember(dlg.selectedFiles().first());
  return dlg.selectedFiles().first();
}

void QtPrompts::focusMainWindow() {
  if (parent_) parent_->activateWindow();
}

}  // namespace zr
