#pragma once
// `frmSetVolume`: the ten speaker volume steps, the volume mode and the table
// switch (model: VolumeTable). Every pick is written into the image at once;
// OK and the close box only close.
#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zr {

class ErrorLog;
class TextTable;
class VolumeTable;
struct Core;

class VolumeDialog : public QDialog {
  Q_OBJECT
 public:
  // Opens on the program's image, volume mode and configuration file.
  explicit VolumeDialog(Core& core, QWidget* parent = nullptr);
  // Opens on a model of the caller's.
  VolumeDialog(VolumeTable& model, const TextTable& text, ErrorLog& log, QWidget* parent = nullptr);
  ~VolumeDialog() override;

  VolumeTable& model() { return model_; }
  QComboBox* cboVolumeDat(int step) const;  // step 1..10, nullptr otherwise
  QCheckBox* chkVolMode() const { return chkVolMode_; }
  QCheckBox* chkVolumeIic() const { return chkVolumeIic_; }
  QPushButton* cmdDefault() const { return cmdDefault_; }
  QPushButton* cmdOK() const { return cmdOK_; }

 private:
  void build();
  void Form_Load();
  void InitFace();
  void showModel();

  std::unique_ptr<VolumeTable> owned_;
  VolumeTable& model_;
  const TextTable& text_;
  ErrorLog& log_;
  std::array<QLabel*, 10> lblVolumeLevel_{};
  std::array<QComboBox*, 10> cboVolumeDat_{};
  QCheckBox* chkVolMode_ = nullptr;
  QCheckBox* chkVolumeIic_ = nullptr;
  QPushButton* cmdDefault_ = nullptr;
  QPushButton* cmdOK_ = nullptr;
};

}  // namespace zr
