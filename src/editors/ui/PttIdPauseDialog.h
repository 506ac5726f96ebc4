#pragma once
// `frmPttIdPauseChSet`: one box per channel 1 to 16 for the PTT ID pause flag,
// and the choices "All" and "None" (model: PttIdPauseSet). Every tick is
// written into the image at once; OK only closes.
#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace zr {

class ByteArray;
class ErrorLog;
class PttIdPauseSet;
class TextTable;
struct Core;

class PttIdPauseDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PttIdPauseDialog(Core& core, QWidget* parent = nullptr);
  PttIdPauseDialog(ByteArray& image, const TextTable& text, ErrorLog& log, QWidget* parent = nullptr);
  ~PttIdPauseDialog() override;

  PttIdPauseSet& model() { return *model_; }
  QCheckBox* chkPttIdPauseChSet(int box) const;  // box 0..15 (channels 1..16), nullptr otherwise
  QRadioButton* chkSelectAll() const { return chkSelectAll_; }
  QRadioButton* chkSelectNone() const { return chkSelectNone_; }
  QPushButton* cmdOK() const { return cmdOK_; }

 private:
  void build();
  void InitFace();
  void showChoices();

  std::unique_ptr<PttIdPauseSet> model_;
  const TextTable& text_;
  ErrorLog& log_;
  std::array<QCheckBox*, 16> boxes_{};
  QRadioButton* chkSelectAll_ = nullptr;
  QRadioButton* chkSelectNone_ = nullptr;
  QPushButton* cmdOK_ = nullptr;
};

}  // namespace zr
