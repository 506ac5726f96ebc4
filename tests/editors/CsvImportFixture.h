#pragma once
// A started core and editors on a temporary program folder, with the VHF
// default settings file open (band 136 - 174 MHz, every channel empty): what
// the CSV imports and exports run on.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "shell/StartupSteps.h"
#include "editors/Editors.h"
#include "data/Core.h"

namespace zr::testing {

class CsvImportFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def", "kelvane.def"}) {
      if (!QFile::exists(dir.filePath(name))) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name))) << name;
      }
    }
    // Called again by tables of cases for a fresh start.
    editors.reset();
    core = std::make_unique<Core>(dir.path(), dir.filePath(kConfigFile), prompts, QStringLiteral("test"));
    editors = std::make_unique<Editors>(*core);
    startHeadless(*editors);
    ASSERT_TRUE(core->files.OpenFile(dir.filePath("DefRadioSet_VHF.def")));
  }

  Core& c() { return *core; }
  // What the grid shows for a channel, as our CSV row would give it.
  QString option(int ch, int col) { return core->columns.optionText(col, core->ChTable.get(col, ch)); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;
};

}  // namespace zr::testing
