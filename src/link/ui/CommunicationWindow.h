#pragma once
// The communication window `frmCommun`: a modal dialog that runs one read or
// one write of the radio (the Transfer) and shows its progress, status line,
// stop box, blinking light, single-wire indicator and trace list. It closes
// itself at the end of every transfer; while the link is communicating it
// refuses to close and ticks the stop box instead.
//
// Object names: frames `fraOne`, `fraRdWrDat`, `fraTwo`; buttons `cmdRead`,
// `cmdWrite` (and, after a write, `cmdWriteAgain`, `cmdDetails`, `cmdClose`); `prgCommunicate`, `lblComStatus`, `lblComPercent`, `chkStopCom`,
// `imgGreen`, `chkComRxMode`, `chkShowMemDat`; address boxes `txtMaxAddr`,
// `txtReadStartAddr`, `txtReadEndAddr`, `txtWriteStartAddr`,
// `txtWriteEndAddr` with labels `lblMaxAddr` ... ; `listRtData`; timers
// `tmrReadStart`, `tmrWriteStart`, `tmrLigGrint`.
#include <QDialog>
#include <QPixmap>
#include <array>
#include <functional>

#include "link/Transfer.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zr {

// How the main window opens the window: for a read (toolbar "Read", menu
// `mnuReadFre`, picture `picReadDat`), for a write (toolbar "Write",
// `mnuWriteFre`, `picWriteDat`), or with both buttons for the user to choose
// (`mnuReadWriteFre`).
enum class CommunMode { Read, Write, Choose };

class CommunicationWindow : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kStartDelayMs = 100;  // the start timers' first tick
  static constexpr int kBlinkMs = 100;

  explicit CommunicationWindow(Transfer& transfer, QWidget* parent = nullptr);
  ~CommunicationWindow() override;

  // Hide both buttons and arm the read-start timer.
  void armRead();
  // End any tone entry in progress in the channel grid, hide both buttons and
  // arm the write-start timer.
  void armWrite();

  // Whether the address and trace sections are shown (the long form).
  bool longForm() const { return longForm_; }

 public slots:
  void reject() override;  // Escape goes through the close request

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void InitFace();
  void sync();
  void runRead();
  void runWrite();
  void fraOneDoubleClick();
  // After a write the window stays open with its result: "Write OK" and
  // Details, or the failure and, for a partly written radio, Write Again.
  void showWriteResult();
  void setStatusColour(bool failure);

  Transfer& transfer_;
  bool longForm_ = false;

  QGroupBox* fraOne_ = nullptr;
  QGroupBox* fraRdWrDat_ = nullptr;
  QGroupBox* fraTwo_ = nullptr;
  QPushButton* cmdRead_ = nullptr;
  QPushButton* cmdWrite_ = nullptr;
  QPushButton* cmdWriteAgain_ = nullptr;
  QPushButton* cmdDetails_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
  bool writeRunning_ = false;
  QProgressBar* prgCommunicate_ = nullptr;
  QLabel* lblComStatus_ = nullptr;
  QLabel* lblComPercent_ = nullptr;
  QCheckBox* chkStopCom_ = nullptr;
  QLabel* imgGreen_ = nullptr;
  void prepareLight();
  bool lightOn_ = false;  // the blinking light's phase
  QPixmap lightPixmap_, darkPixmap_;
  QCheckBox* chkComRxMode_ = nullptr;
  QCheckBox* chkShowMemDat_ = nullptr;
  std::array<QLineEdit*, 5> addressBoxes_{};
  std::array<QLabel*, 5> addressLabels_{};
  QListWidget* listRtData_ = nullptr;
  QTimer* tmrReadStart_ = nullptr;
  QTimer* tmrWriteStart_ = nullptr;
  QTimer* tmrLigGrint_ = nullptr;
};

// Opens `frmCommun` modally, owned by `parent`, in the given mode, and
// returns when it has closed (after its transfer, or when the user closed it).
void showCommunWindow(Transfer& transfer, CommunMode mode, QWidget* parent);

}  // namespace zr
