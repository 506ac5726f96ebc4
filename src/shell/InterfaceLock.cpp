#include "shell/InterfaceLock.h"
#include "base/TextIds.h"

namespace zr {

InterfaceLock::InterfaceLock(Core& core) : core_(core) {}

void InterfaceLock::store() {
  core_.ini.WriteString(kSettingSection, QStringLiteral("ChannelLock"), core_.settings.LockState);
}

void InterfaceLock::restore(const QString& lockState) {
  const bool on = lockState == kLockOn;
  chLockTicked = lockFaceTicked = on;
  LockFaceOperate(on);
}

void InterfaceLock::mnuLockFace_Click() {
  guarded(core_.log, "mdifrmMain->mnuChLock_Click", [&] {
    const bool on = !lockFaceTicked;
    lockFaceTicked = chLockTicked = on;
    LockFaceOperate(on);
    store();
  });
}

void InterfaceLock::mnuChLock_Click() {
  guarded(core_.log, "mdifrmMain->mnuChLock_Click", [&] {
    if (chLockVisible) {
      chLockTicked = !chLockTicked;
      lockFaceTicked = chLockTicked;
      LockFaceOperate(chLockTicked);
    } else {
      core_.settings.LockState = kLockNoMenu;
      emit gridColourRestored();
    }
    store();
  });
}

void InterfaceLock::LockFaceOperate(bool on) {
  guarded(core_.log, "mdifrmMain->LockFaceOperate", [&] {
    core_.settings.LockState = on ? kLockOn : kLockOff;
    setStatus(core_.text.SoftFace(on ? kTxtLocked : kTxtReady));
    if (!on) {
      blinkRunning = false;
      emit gridColourRestored();
    }
    emit windowsLocked(on);
  });
}

void InterfaceLock::tmrChLock_Timer(const QString& shownStatus) {
  if (chLockVisible && chLockTicked && shownStatus == core_.text.SoftFace(kTxtReady)) {
    setStatus(core_.text.SoftFace(kTxtLocked));
    blinkRunning = true;
  }
}

void InterfaceLock::tmrChLockBlink_Timer(const QString& shownStatus) {
  if (!(chLockVisible && chLockTicked)) return;
  blinkPhase = blinkPhase == 0 ? 1 : 0;
  const QString& now = shownStatus;
  const QString ready = core_.text.SoftFace(kTxtReady), locked = core_.text.SoftFace(kTxtLocked);
  if (now == locked || now == ready || now.isEmpty()) setStatus(blinkPhase == 0 ? ready : locked);
}

void InterfaceLock::tmrNoteStatus_Timer() {
  noteRunning = false;
  setStatus(core_.text.SoftFace(kTxtReady));
}

void InterfaceLock::showNote(const QString& text) {
  setStatus(text);
  noteRunning = true;
}

}  // namespace zr
