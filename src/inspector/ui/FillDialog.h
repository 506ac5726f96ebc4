#pragma once
// `frmPartFill` ("Part Fill"): fills an address range of the image with one
// value. Text boxes `txtFillData`, `txtStartAddr`, `txtEndAddr`, the list
// `cboFillData` ("H", "D", "B"), the button `cmdFillData` ("Fill") and the
// labels `lblFillData`, `lblStartAddr`, `lblEndAddr`. The rules live in
// RangeFill; closing the dialog hides it until the program is leaving.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr {

struct Core;
class RangeFill;

class FillDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads at once (the dialog is created on first use and then kept).
  FillDialog(Core& core, RangeFill& fill, QWidget* parent = nullptr);

  QLineEdit* txtFillData() const { return txtFillData_; }
  QLineEdit* txtStartAddr() const { return txtStartAddr_; }
  QLineEdit* txtEndAddr() const { return txtEndAddr_; }
  QComboBox* cboFillData() const { return cboFillData_; }
  QPushButton* cmdFillData() const { return cmdFillData_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Core& core_;
  RangeFill& fill_;
  QLineEdit* txtFillData_;
  QLineEdit* txtStartAddr_;
  QLineEdit* txtEndAddr_;
  QComboBox* cboFillData_;
  QPushButton* cmdFillData_;
};

}  // namespace zr
