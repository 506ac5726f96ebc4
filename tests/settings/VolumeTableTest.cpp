// The volume table of `frmSetVolume` in both volume modes: what the lists
// show, what a pick stores, the mode kept in the configuration file, the
// table switch, the defaults, and picks outside the table.
#include <QTemporaryDir>

#include <set>

#include "SettingsFixture.h"
#include "editors/VolumeTable.h"
#include "base/PrivateProfile.h"

namespace zr {
namespace {

class Volume : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    ASSERT_TRUE(dir.isValid());
    ini.setPath(dir.filePath(QStringLiteral("kelvane.def")));
    ASSERT_TRUE(ini.WriteString(QStringLiteral("Setting"), QStringLiteral("DatNum"), QStringLiteral("8191")));
  }
  // A model as the dialog opens it, with the program's mode `m`.
  VolumeTable& opened(int m) {
    mode = m;
    table = std::make_unique<VolumeTable>(image, mode, ini, log);
    table->open();
    return *table;
  }
  QString storedMode() const {
    return ini.GetString(QStringLiteral("Setting"), QStringLiteral("VolumeMode"), QStringLiteral("(none)"), 9);
  }

  QTemporaryDir dir;
  PrivateProfile ini;
  int mode = 0;
  std::unique_ptr<VolumeTable> table;
};

TEST_F(Volume, ListsShowTheStoredStepsInEitherMode) {
  // Factory steps 1-10: 69 148 120 227 79 185 156 173 175 253 (the mode 1 defaults).
  const int positionsMode1[] = {63, 111, 143, 159, 175, 191, 207, 223, 239, 252};
  const int bytes[] = {69, 148, 120, 227, 79, 185, 156, 173, 175, 253};
  VolumeTable& m1 = opened(0);
  EXPECT_FALSE(m1.mode2());
  EXPECT_TRUE(m1.useTable());
  for (int n = 1; n <= kVolumeSteps; ++n) EXPECT_EQ(m1.position(n), positionsMode1[n - 1]) << "step " << n;
  VolumeTable& m2 = opened(1);
  EXPECT_TRUE(m2.mode2());
  for (int n = 1; n <= kVolumeSteps; ++n) EXPECT_EQ(m2.position(n), bytes[n - 1]) << "step " << n;
  EXPECT_EQ(byteDiff(factoryImage(), image), "") << "showing writes nothing";
  EXPECT_EQ(storedMode(), QStringLiteral("(none)")) << "opening writes no mode";
}

TEST_F(Volume, APickStoresTheByteOfTheCurrentMode) {
  struct Case {
    const char* what;
    int mode;
    bool switchTo2;  // the mode after opening, as the tick leaves it
    int step, position, stored;
  };
  const Case cases[] = {
      {"mode 1: a ladder position stores its byte", 0, false, 1, 64, 83},
      {"mode 2: the position is the byte", 1, true, 1, 70, 70},
      {"mode 2 after mode 1: position 63 stores 63", 0, true, 10, 63, 63},
      {"mode 1 after mode 2: position 63 stores 69", 1, false, 10, 63, 69},
      {"mode 1: the loudest position", 0, false, 5, 255, 255},
  };
  for (const Case& c : cases) {
    image = factoryImage();
    VolumeTable& t = opened(c.mode);
    if (t.mode2() != c.switchTo2) {
      const int before = t.position(c.step);
      ASSERT_TRUE(t.setMode2(c.switchTo2)) << c.what;
      EXPECT_EQ(storedMode(), c.switchTo2 ? QStringLiteral("1") : QStringLiteral("0")) << c.what;
      EXPECT_EQ(mode, c.switchTo2 ? 1 : 0) << c.what;
      EXPECT_EQ(t.position(c.step), before) << c.what << ": the lists keep their positions";
      EXPECT_EQ(byteDiff(factoryImage(), image), "") << c.what << ": a mode change writes no byte";
    }
    ASSERT_TRUE(t.choose(c.step, c.position)) << c.what;
    EXPECT_EQ(byteDiff(with(factoryImage(), {{kVolumeBase + c.step, c.stored}}), image), "") << c.what;
    EXPECT_EQ(t.position(c.step), c.position) << c.what;
  }
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(Volume, AModeOutsideZeroAndOneIsModeOneOnceOpened) {
  for (int stored : {5, -1}) {
    VolumeTable& t = opened(stored);
    EXPECT_EQ(mode, 0) << stored;
    EXPECT_FALSE(t.mode2()) << stored;
    EXPECT_EQ(t.position(1), 63) << stored;
  }
}

TEST_F(Volume, TheSwitchWritesOnlyOnOrOff) {
  poke({{kVolumeSwitchAddr, 0x00}});
  VolumeTable& t = opened(0);
  EXPECT_FALSE(t.useTable());
  ASSERT_TRUE(t.setUseTable(true));
  EXPECT_EQ(image.at(kVolumeSwitchAddr), 0x5A);
  ASSERT_TRUE(t.setUseTable(false));
  EXPECT_EQ(image.at(kVolumeSwitchAddr), 0xFF);
  EXPECT_FALSE(t.useTable());
}

TEST_F(Volume, DefaultWritesStepZeroToTenOfTheModeAndSwitchesTheTableOn) {
  const std::pair<int, std::array<int, 11>> cases[] = {
      {1, {108, 68, 60, 54, 48, 40, 32, 24, 16, 8, 0}},
      {0, {0, 69, 148, 120, 227, 79, 185, 156, 173, 175, 253}},
  };
  for (const auto& [m, bytes] : cases) {
    image = factoryImage();
    for (int n = 0; n <= kVolumeSteps; ++n) image.set(kVolumeBase + n, 7);
    poke({{kVolumeSwitchAddr, 0xFF}});
    VolumeTable& t = opened(m);
    ASSERT_TRUE(t.restoreDefault());
    Bytes expected;
    for (int n = 0; n <= kVolumeSteps; ++n) expected.push_back({kVolumeBase + n, bytes[size_t(n)]});
    expected.push_back({kVolumeSwitchAddr, 0x5A});
    EXPECT_EQ(byteDiff(with(factoryImage(), expected), image), "") << "mode " << m;
    EXPECT_TRUE(t.useTable());
    // The lists show the new table.
    EXPECT_EQ(t.position(1), m == 1 ? 68 : 63) << "mode " << m;
    EXPECT_EQ(t.position(10), m == 1 ? 0 : 252) << "mode " << m;
  }
}

TEST_F(Volume, PicksOutsideTheTableAreLoggedAndWriteNothing) {
  VolumeTable& t = opened(0);
  const std::pair<int, int> picks[] = {{0, 5}, {11, 5}, {1, 256}, {1, -1}};
  for (const auto& [step, position] : picks) {
    const int reports = log.reportCount();
    EXPECT_FALSE(t.choose(step, position)) << step << "/" << position;
    EXPECT_EQ(log.reportCount(), reports + 1);
    EXPECT_EQ(log.lastTag(), QStringLiteral("frmSetVolume->cboVolumeDat_Click"));
    EXPECT_EQ(log.lastCode(), kErrSubscript);
  }
  EXPECT_EQ(byteDiff(factoryImage(), image), "");
  EXPECT_EQ(t.position(0), -1);
  EXPECT_EQ(t.position(11), -1);

  // An image too short for the table: the default writes nothing at all.
  ByteArray small(0x01A5);
  VolumeTable s(small, mode, ini, log);
  EXPECT_FALSE(s.restoreDefault());
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmSetVolume->cmdDefault_Click"));
  EXPECT_EQ(small.at(kVolumeBase), 0);
}

TEST(VolumeLadder, IsAPermutationOrderedFromQuietToLoud) {
  const VoiceSeq& seq = VoiceSeqTable();
  EXPECT_EQ(std::set<int>(seq.begin(), seq.end()).size(), 256u);
  EXPECT_EQ(seq.front(), 0);
  EXPECT_EQ(seq.back(), 255);
  EXPECT_EQ(seq[159], 227);
  EXPECT_EQ(voiceSeqPosition(seq, 227), 159);
  EXPECT_EQ(&VoiceSeqTable(), &seq) << "built once";
}

}  // namespace
}  // namespace zr
