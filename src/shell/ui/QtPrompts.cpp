#include "shell/ui/QtPrompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QAbstractButton>
#include <QMessageBox>

namespace zr {

bool QtPrompts::askYesNo(const QString& title, const QString& text) {
  return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

int QtPrompts::askChoice(const QString& title, const QString& text, const QStringList& buttons) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent_);
  std::vector<QAbstractButton*> made;
  for (qsizetype k = 0; k < buttons.size(); ++k) {
    const bool cancel = k == buttons.size() - 1;
    made.push_back(box.addButton(buttons[k], cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
  }
  if (!made.empty()) box.setEscapeButton(made.back());
  box.exec();
  for (size_t k = 0; k < made.size(); ++k)
    if (box.clickedButton() == made[k]) return static_cast<int>(k);
  return static_cast<int>(buttons.size()) - 1;
}

void QtPrompts::message(const QString& title, const QString& text, Icon icon) {
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

static QString startDir(const QString& initialPath) {
  const QFileInfo fi(initialPath);
  return fi.isDir() ? initialPath : fi.absolutePath();
}

QString QtPrompts::openFileName(const QString& filter, const QString& initialPath) {
  return QFileDialog::getOpenFileName(parent_, QString(), startDir(initialPath), qtFilter(filter));
}

QString QtPrompts::saveFileName(const QString& filter, const QString& initialPath, const QString& defaultSuffix) {
  QFileDialog dlg(parent_, QString(), startDir(initialPath), qtFilter(filter));
  // The dialog opens on the current file, so the question plus Enter saves
  // where the file came from.
  const QFileInfo current(initialPath);
  if (!initialPath.isEmpty() && !current.isDir()) dlg.selectFile(current.fileName());
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setDefaultSuffix(defaultSuffix);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().first();
}

void QtPrompts::focusMainWindow() {
  if (parent_) parent_->activateWindow();
}

}  // namespace zr
