#pragma once
// `fraModel`: the "Radio Info" frame of the channel window with the model
// list `cboModel` and the range list `cboFrequency`, a view of the BandModel.
// It also counts two service gestures that show or hide the hex view: double
// clicks on the label `lblModel` and clicks on the frame itself.
#include <QGroupBox>

class QComboBox;
class QLabel;

namespace zr {

class BandModel;
class ErrorLog;
class TextTable;

class ModelFrame : public QGroupBox {
  Q_OBJECT
 public:
  // Opens `frmCustomFre` when "Custom" is chosen (answers the model's customRangeWanted).
  ModelFrame(BandModel& band, const TextTable& text, ErrorLog& log, QWidget* parent = nullptr);
  ~ModelFrame() override;

  QLabel* lblModel() const { return lblModel_; }
  QLabel* lblFrequency() const { return lblFrequency_; }
  QComboBox* cboModel() const { return cboModel_; }
  QComboBox* cboFrequency() const { return cboFrequency_; }

  // Captions from the text table.
  void InitFace();

  // The service gestures.
  void lblModel_DblClick();
  void fraModel_Click();

 signals:
  void hexViewRequested(bool show);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void follow();
  bool runCustomDialog();

  BandModel& band_;
  const TextTable& text_;
  ErrorLog& log_;
  QLabel* lblModel_;
  QLabel* lblFrequency_;
  QComboBox* cboModel_;
  QComboBox* cboFrequency_;
  int modelClicks_ = 0;  // double clicks on lblModel, 0..10
  int frameClicks_ = 0;  // clicks on the frame, modulo 10
  bool skipRelease_ = false;
};

}  // namespace zr
