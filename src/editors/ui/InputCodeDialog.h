#pragma once
// `frmInputCode`: the service-code prompt of the channel window. It asks for
// a code and closes by itself after 4.5 s when nobody types; once something
// is typed it stays open until OK. The entered text, upper-cased, is the
// prompt's result (`EnteredCode`); the caller compares it with the code.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace zr {

class InputCodeDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kAutoExitMs = 4500;   // an untouched prompt closes after this
  static constexpr int kTypedIntervalMs = 2000;  // the timer's interval once typed (it stays stopped)

  // `language` is the text table's language code (1, 2 or 3; others read as 3).
  explicit InputCodeDialog(int language, QWidget* parent = nullptr);

  // The field's text in upper case, as of its last change; empty until typed.
  const QString& EnteredCode() const { return enteredCode_; }

  QLineEdit* txtInputCode() const { return txtInputCode_; }
  QLabel* lblInputCode() const { return lblInputCode_; }
  QPushButton* cmdOK() const { return cmdOK_; }
  QTimer* tmrAutoExit() const { return tmrAutoExit_; }

  // Escape abandons the prompt: no code is taken.
  void reject() override;

 protected:
  // A key pressed before anything is typed starts the automatic close again,
  // so that someone who is listening to the prompt is not cut off.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load(int language);
  void txtInputCode_Change(const QString& text);
  void tmrAutoExit_Timer();
  void cmdOK_Click();

  QLabel* lblInputCode_;
  QLineEdit* txtInputCode_;
  QPushButton* cmdOK_;
  QTimer* tmrAutoExit_;
  QString enteredCode_;
};

}  // namespace zr
