#pragma once
// The port chooser `frmToolCom`: sixteen options "COM1".."COM16" in one group,
// each with the serial device that has the number on this machine. The rules
// live in PortChooser; this window only shows them.
//
// Object names: frame `fraToolCom`, label `lblToolCom`, options `COM1_0` ..
// `COM1_15` (member k is port k + 1), device labels `lblComDevice_0` ..
// `lblComDevice_15`, buttons `cmdOK` and `cmdCancel`.
#include <QDialog>
#include <array>

#include "link/PortAccess.h"

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace zr {

class PortMap;
class TextTable;

class PortDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads at once: captions, probe of all ports, ticks. `map` (optional)
  // supplies the device paths and descriptions; `font` is the program font.
  PortDialog(PortAccess& access, const TextTable& text, const PortMap* map, const QString& font,
             QWidget* parent = nullptr);

  PortChooser& chooser() { return chooser_; }

  void accept() override;  // cmdOK
  void reject() override;  // cmdCancel, Escape, the close box

 private:
  void showChooser();

  PortChooser chooser_;
  const PortMap* map_;
  QButtonGroup* group_ = nullptr;
  std::array<QRadioButton*, PortAccess::kPortCount> options_{};
  std::array<QLabel*, PortAccess::kPortCount> devices_{};
};

}  // namespace zr
