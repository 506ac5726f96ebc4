#pragma once
// A core on a temporary program folder with the default images, started as
// the program starts, and a band model hooked into its refresh.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "shell/StartupSteps.h"
#include "editors/BandModel.h"
#include "data/Core.h"

namespace zr {

class BandFixture : public ::testing::Test {
 protected:
  // A settings byte far from the band bytes: tells whether a new data set started.
  static constexpr int kProbeAddr = 0x0300;

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def", "kelvane.def"})
      ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name))) << name;
    core = std::make_unique<Core>(dir.path(), dir.filePath(kConfigFile), prompts, QStringLiteral("test"));
    startHeadless(*core);
    band = std::make_unique<BandModel>(*core);
    // The band model positions its lists after a load, as the editors have it do.
    QObject::connect(&core->events, &DataEvents::replaced, [this](DataEvents::Replacement how) {
      if (how != DataEvents::Replacement::Loaded && how != DataEvents::Replacement::DefaultsLoaded) return;
      band->IicDatToModel();
      band->IicDatToFreRange();
    });
    QObject::connect(&core->events, &DataEvents::fileNamed, [this] { ++statusUpdates; });
    band->ChInfoModel();
    core->history.clear();  // as the start-up does after the initial band choice
    // The range cases here start one new data set after another; the question
    // about unsaved changes has tests of its own.
    prompts.defaultSaveChoice = UserPrompts::SaveChoice::Discard;
    ASSERT_EQ(core->log.reportCount(), 0) << core->log.lines().join("\n").toStdString();
  }

  ByteArray& img() { return core->image.TempArray; }
  std::array<int, 4> rangeBytes() {
    return {img().at(0x037A), img().at(0x037B), img().at(0x037C), img().at(0x037D)};
  }
  void setRangeBytes(const std::array<int, 4>& b) {
    for (int k = 0; k < 4; ++k) img().set(0x037A + k, b[static_cast<size_t>(k)]);
  }
  // Marks the image so that a new data set shows.
  void dirty() { img().set(kProbeAddr, core->image.DefTempArray.at(kProbeAddr) ^ 0xFF); }
  bool newDataSetStarted() { return img().at(kProbeAddr) == core->image.DefTempArray.at(kProbeAddr); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<BandModel> band;
  int statusUpdates = 0;
};

}  // namespace zr
