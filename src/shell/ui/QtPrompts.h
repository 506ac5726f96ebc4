#pragma once
// Questions, messages and file dialogs of the desktop program.
#include <QPointer>
#include <QWidget>

#include "shell/UserPrompts.h"

namespace zr {

class QtPrompts : public UserPrompts {
 public:
  void setParentWindow(QWidget* w) { parent_ = w; }
  bool askYesNo(const QString& title, const QString& text) override;
  void message(const QString& title, const QString& text, Icon icon) override;
  QString openFileName(const QString& filter, const QString& initialPath) override;
  QString saveFileName(const QString& filter, const QString& initialPath, const QString& defaultSuffix) override;
  void focusMainWindow() override;
  int askChoice(const QString& title, const QString& text, const QStringList& buttons) override;

  // "Data File(*.dat)|*.dat" -> "Data File(*.dat) (*.dat)": the system's
  // filter pairs of description and pattern in Qt's form.
  static QString qtFilter(const QString& filter);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace zr
