#pragma once
// `frmCustomFre`: the custom range dialog. Two boxes take the lower and upper
// band limit in MHz; OK hands them to the band model, which checks them and
// sets the limits; Cancel leaves the limits alone.
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zr {

class BandModel;
class ErrorLog;
class TextTable;

class CustomFreDialog : public QDialog {
  Q_OBJECT
 public:
  CustomFreDialog(BandModel& band, const TextTable& text, ErrorLog& log, QWidget* parent = nullptr);

  QLineEdit* txtFreMin() const { return txtFreMin_; }
  QLineEdit* txtFreMax() const { return txtFreMax_; }
  QPushButton* cmdOK() const { return cmdOK_; }
  QPushButton* cmdCancel() const { return cmdCancel_; }

  // Title and captions from the text table.
  void InitFace();

 protected:
  void reject() override;

 private:
  void Form_Load();
  void cmdOK_Click();
  void cmdCancel_Click();

  BandModel& band_;
  const TextTable& text_;
  ErrorLog& log_;
  QGroupBox* fraCustomFre_;
  QLabel* lblFreMin_;
  QLabel* lblFreMax_;
  QLineEdit* txtFreMin_;
  QLineEdit* txtFreMax_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

}  // namespace zr
