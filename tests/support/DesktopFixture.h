#pragma once
// A program folder in a temporary directory (default images and the shipped
// configuration, first run pending) and the desktop program started on it
// offscreen, with scripted answers and the machine's serial ports left out.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "shell/ui/DesktopApp.h"

namespace zr::testing {

inline void makeProgramFolder(const QTemporaryDir& dir) {
  for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name)));
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_SOURCE_DIR "/resources/kelvane.def"), dir.filePath("kelvane.def")));
  QFile::setPermissions(dir.filePath("kelvane.def"), QFile::ReadOwner | QFile::WriteOwner);
}

class DesktopFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    makeProgramFolder(dir);
    app = std::make_unique<DesktopApp>(dir.path(), &prompts, &system);
    app->start();
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  // The locale, the ports, the opener and a restart, answered from a script.
  ScriptedFrontEnd system;
  std::unique_ptr<DesktopApp> app;
};

}  // namespace zr::testing
