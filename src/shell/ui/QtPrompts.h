#pragma once
// Questions, messages and file dialogs of the desktop program.
#include <QPointer>
#include <QWidget>

#include "base/UserPrompts.h"

namespace zr {

class PrivateProfile;

class QtPrompts : public UserPrompts {
 public:
  void setParentWindow(QWidget* w) { parent_ = w; }
  // The file dialogs start in, and remember, the folder kept in this file.
  void setProfile(const PrivateProfile* ini) { ini_ = ini; }
  bool askYesNo(const QString& title, const QString& text) override;
  SaveChoice askSaveDiscardCancel(const QString& title, const QString& text) override;
  bool askYesNoDontAskAgain(const QString& title, const QString& text, bool* dontAskAgain) override;
  void message(const QString& title, const QString& text, Icon icon) override;
  QString openFileName(const QString& filter, const QString& initialPath) override;
  QString saveFileName(const QString& filter, const QString& initialPath, const QString& defaultSuffix) override;
  void focusMainWindow() override;
  int askChoice(const QString& title, const QString& text, const QStringList& buttons) override;

  // "Data File(*.dat)|*.dat" -> "Data File(*.dat) (*.dat)": the system's
  // filter pairs of description and pattern in Qt's form.
  static QString qtFilter(const QString& filter);

 private:
  QString startFolder(const QString& initialPath) const;
  void remember(const QString& chosen) const;

  QPointer<QWidget> parent_;
  const PrivateProfile* ini_ = nullptr;
};

}  // namespace zr
