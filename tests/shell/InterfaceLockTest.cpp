// The interface lock's menu entries, state and status timers.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "shell/InterfaceLock.h"

namespace zr {
namespace {

class InterfaceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    core.text.LoadSoftFace(core.CurLang);
    QObject::connect(&lock, &InterfaceLock::statusWanted, [this](const QString& t) { status = t; });
    QObject::connect(&lock, &InterfaceLock::windowsLocked, [this](bool on) { windowsLocked = on; });
    status = "Ready";
  }
  QString stored() { return core.ini.GetString("Setting", "ChannelLock", "", 14); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Core core{dir.path(), dir.filePath("kelvane.def"), prompts, "test"};
  InterfaceLock lock{core};
  QString status;
  bool windowsLocked = false;
};

TEST_F(InterfaceLockTest, EitherEntryLocksAndUnlocksBothAndStoresTheState) {
  lock.mnuLockFace_Click();
  EXPECT_TRUE(lock.chLockTicked && lock.lockFaceTicked);
  EXPECT_EQ(core.settings.LockState, kLockOn);
  EXPECT_EQ(status, "Interface Locked");
  EXPECT_TRUE(windowsLocked);
  EXPECT_EQ(stored(), "ShowLock");

  lock.mnuChLock_Click();
  EXPECT_FALSE(lock.chLockTicked || lock.lockFaceTicked);
  EXPECT_EQ(status, "Ready");
  EXPECT_FALSE(windowsLocked);
  EXPECT_EQ(stored(), "ShowNo");

  lock.mnuChLock_Click();
  EXPECT_TRUE(lock.lockFaceTicked);
  lock.mnuLockFace_Click();
  EXPECT_FALSE(lock.chLockTicked);

  lock.chLockVisible = false;  // the lock entry hidden: the state becomes "NoMenu", nothing is applied
  lock.mnuChLock_Click();
  EXPECT_EQ(stored(), "NoMenu");
  EXPECT_FALSE(windowsLocked);
}

TEST_F(InterfaceLockTest, TheBlinkRunsOnlyWhileThePanelShowsTheLockTexts) {
  lock.restore(kLockOn);
  status = "Ready";
  lock.tmrChLock_Timer(status);
  EXPECT_EQ(status, "Interface Locked");
  EXPECT_TRUE(lock.blinkRunning);
  QStringList seen;
  for (int k = 0; k < 4; ++k) {
    lock.tmrChLockBlink_Timer(status);
    seen << status;
  }
  EXPECT_EQ(seen, (QStringList{"Interface Locked", "Ready", "Interface Locked", "Ready"}));

  // Another command's text stops the alternation; the 30 s timer does not restart the blink.
  lock.blinkRunning = false;
  status = "Read Successful";
  lock.tmrChLockBlink_Timer(status);
  EXPECT_EQ(status, "Read Successful");
  lock.tmrChLock_Timer(status);
  EXPECT_FALSE(lock.blinkRunning);

  lock.showNote("Communication success");
  EXPECT_TRUE(lock.noteRunning);
  lock.tmrNoteStatus_Timer();
  EXPECT_EQ(status, "Ready");
  EXPECT_FALSE(lock.noteRunning);
}

TEST_F(InterfaceLockTest, RestoreTicksAndApplies) {
  lock.restore("ShowLock");
  EXPECT_TRUE(lock.chLockTicked && lock.lockFaceTicked && windowsLocked);
  lock.restore("anything");
  EXPECT_FALSE(lock.chLockTicked || lock.lockFaceTicked || windowsLocked);
  EXPECT_EQ(core.settings.LockState, kLockOff);
}

}  // namespace
}  // namespace zr
