#pragma once
// The interface lock of the main window: the two lock menu entries
// (`mnuChLock`, `mnuLockFace`, and the grid's `mnuPopChLock`), the lock state
// stored under "ChannelLock", and the status-bar timers that blink "Interface
// Locked". Headless: the main window owns the menu entries and timers and
// mirrors this model; it shows the status text and locks the windows when
// the lock says so.
#include <QObject>
#include <QString>

#include "data/Core.h"

namespace zr {

class InterfaceLock : public QObject {
  Q_OBJECT
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

  // Start-up: tick both entries for "ShowLock", untick them otherwise, and apply.
  void restore(const QString& lockState);
  void mnuLockFace_Click();
  void mnuChLock_Click();  // also `mnuPopChLock`
  void LockFaceOperate(bool on);
  // The two timers look at what status panel 1 shows now (`shownStatus`).
  void tmrChLock_Timer(const QString& shownStatus);
  void tmrChLockBlink_Timer(const QString& shownStatus);
  void tmrNoteStatus_Timer();
  // Another command shows a note in panel 1 for a while.
  void showNote(const QString& text);

 signals:
  // Status panel 1 is to show this text.
  void statusWanted(const QString& text);
  // The grid goes read-only and disabled and the settings frames disabled, or back.
  void windowsLocked(bool locked);
  // The grid's second colour goes back to its saved value.
  void gridColourRestored();

 private:
  void store();
  void setStatus(const QString& t) { emit statusWanted(t); }

  Core& core_;
};

}  // namespace zr
