#pragma once
// `frmAutoInput`: the automatic channel input dialog. Modeless and always on
// top; the close box only hides it (its fields keep their values) until the
// program is leaving. Every rule lives in AutoInput; this window shows the
// model's control state and forwards the user's edits and clicks.
//
// Control arrays are named "<name>_<index>" (`txtAutoInput_0`, `cmdAutoInput_18`).
#include <QWidget>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zr {

class AutoInput;
struct Editors;
struct AppSettings;

class AutoInputWindow : public QWidget {
  Q_OBJECT
 public:
  AutoInputWindow(Editors& editors, QWidget* parent = nullptr);
  ~AutoInputWindow() override;

  AutoInput& model() { return *model_; }

  // `cmdAutoInput` of the channel window: marks the dialog open and shows it.
  void showDialog();
  // Copies the model's control state into the widgets.
  void refresh();
  // Applies the captions of the model's language.
  void InitFace();

 protected:
  void closeEvent(QCloseEvent* e) override;
  // Escape closes the window as it closes a dialog.
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QGroupBox* frame(int index, QWidget* parent);
  QLabel* label(int index, QWidget* parent);
  QPushButton* setButton(int index, QWidget* parent);
  QRadioButton* option(int index, QWidget* parent);

  AppSettings& settings_;
  std::unique_ptr<AutoInput> model_;
  std::map<int, QLineEdit*> boxes_;
  std::map<int, QComboBox*> lists_;
  std::map<int, QCheckBox*> checks_;
  std::map<int, QRadioButton*> options_;
  std::map<int, QPushButton*> buttons_;
  std::map<int, QGroupBox*> frames_;
  std::map<int, QLabel*> labels_;
  bool refreshing_ = false;
};

}  // namespace zr
