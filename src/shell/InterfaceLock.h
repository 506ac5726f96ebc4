#pragma once
// The interface lock of the main window: the two lock menu entries
// (`mnuChLock`, `mnuLockFace`, and the grid's `mnuPopChLock`), the lock state
// stored under "ChannelLock", and the status-bar timers that blink "Interface
// Locked". Headless: the main window owns the menu entries and timers and
// mirrors this model.
#include <QString>
#include <functional>

#include "data/Core.h"

namespace zr {

class InterfaceLock {
 public:
  static constexpr int kChLockInterval = 30000;  // tmrChLock
  static constexpr int kBlinkInterval = 5000;    // tmrChLockBlink
  static constexpr int kNoteInterval = 6000;     // tmrNoteStatus

  explicit InterfaceLock(Core& core);

  // The menu entries as the window shows them.
  bool chLockVisible = true;
  bool chLockTicked = false;
  bool lockFaceTicked = false;
  // The blink timer runs; the note timer runs.
  bool blinkRunning = false;
  bool noteRunning = false;
  int blinkPhase = 0;

  // Status panel 1 and what the lock does to the windows around it.
  std::function<QString()> statusText;
  std::function<void(const QString&)> setStatusText;
  std::function<void(bool locked)> lockWindows;  // grid read-only and disabled, settings frames disabled
  std::function<void()> restoreGridColour;        // the grid's second colour back to its saved value

  // Start-up: tick both entries for "ShowLock", untick them otherwise, and apply.
  void restore(const QString& lockState);
  void mnuLockFace_Click();
  void mnuChLock_Click();  // also `mnuPopChLock`
  void LockFaceOperate(bool on);
  void tmrChLock_Timer();
  void tmrChLockBlink_Timer();
  void tmrNoteStatus_Timer();
  // Another command shows a note in panel 1 for a while.
  void showNote(const QString& text);

 private:
  void store();
  QString status() const { return statusText ? statusText() : QString(); }
  void setStatus(const QString& t) {
    if (setStatusText) setStatusText(t);
  }

  Core& core_;
};

}  // namespace zr
