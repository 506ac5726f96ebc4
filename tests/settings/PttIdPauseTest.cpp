// The PTT ID pause channel set: flags shown from and written into bit 6 of
// byte 13 of the channel records, all sixteen rewritten per tick, the "All"
// and "None" choices, the update guard, and the CLI's "ptt_id_pause" array.
#include "SettingsFixture.h"
#include "editors/PttIdPause.h"

namespace zr {
namespace {

class PttIdPause : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    // Channel n's flag byte holds n in its other bits, flag clear.
    for (int n = 1; n <= kPttIdPauseChannels; ++n) image.set(pttIdPauseAddr(n), n);
  }
  std::string flags() const {
    std::string out;
    for (int n = 1; n <= kPttIdPauseChannels; ++n) out += pttIdPauseFlag(image, n) ? '1' : '0';
    return out;
  }
  std::string boxes() const {
    std::string out;
    for (int i = 0; i < kPttIdPauseChannels; ++i) out += set.box(i) ? '1' : '0';
    return out;
  }
  // The other bits of every flag byte are still n.
  bool otherBitsKept() const {
    for (int n = 1; n <= kPttIdPauseChannels; ++n)
      if ((image.at(pttIdPauseAddr(n)) & ~kPttIdPauseMask) != n) return false;
    return true;
  }
  PttIdPauseSet set{image, log};
};

TEST_F(PttIdPause, FlagAddressesAreByteThirteenOfChannelsOneToSixteen) {
  EXPECT_EQ(pttIdPauseAddr(1), 0x001D);
  EXPECT_EQ(pttIdPauseAddr(16), 0x010D);
  EXPECT_THROW(pttIdPauseAddr(0), RunError);
  EXPECT_THROW(pttIdPauseAddr(17), RunError);
}

TEST_F(PttIdPause, OpeningShowsTheFlagsAndWritesNothing) {
  poke({{0x001D, 0x40}, {0x00AD, 0xCA}});  // channel 1 flag alone, channel 10 flag among other bits
  const ByteArray before = image;
  set.PttIdPauseChSet();
  EXPECT_EQ(boxes(), "1000000001000000");
  EXPECT_FALSE(set.allChosen());
  EXPECT_FALSE(set.noneChosen());
  EXPECT_EQ(byteDiff(before, image), "");
  EXPECT_FALSE(set.updating());
}

TEST_F(PttIdPause, ATickRewritesAllSixteenFlagsFromTheBoxes) {
  set.PttIdPauseChSet();
  ASSERT_TRUE(set.chooseAll());
  EXPECT_EQ(flags(), "1111111111111111");
  EXPECT_TRUE(otherBitsKept());
  EXPECT_TRUE(set.allChosen());

  // Unticking a box deselects "All" and clears only that flag.
  ASSERT_TRUE(set.boxClicked(0, false));
  EXPECT_EQ(image.at(0x001D), 0x01);
  EXPECT_EQ(flags(), "0111111111111111");
  EXPECT_FALSE(set.allChosen());

  ASSERT_TRUE(set.chooseNone());
  EXPECT_EQ(flags(), "0000000000000000");
  EXPECT_TRUE(otherBitsKept());
  EXPECT_TRUE(set.noneChosen());
  EXPECT_FALSE(set.allChosen());

  // A flag set behind the dialog's back is rewritten from its unticked box
  // when another box is ticked; "None" is deselected.
  image.set(0x002D, image.at(0x002D) | 0x40);
  ASSERT_TRUE(set.boxClicked(5, true));
  EXPECT_EQ(flags(), "0000010000000000");
  EXPECT_FALSE(set.noneChosen());
  EXPECT_TRUE(otherBitsKept());

  // Ticking the last unticked box does not choose "All" by itself.
  for (int i = 0; i < kPttIdPauseChannels; ++i) set.boxClicked(i, true);
  EXPECT_EQ(flags(), "1111111111111111");
  EXPECT_FALSE(set.allChosen());
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(PttIdPause, BoxChangesWhileTheProgramTicksWriteNothing) {
  // A window mirrors every box the model ticks; the mirrored box raises a
  // change of its own, which reaches the model while the guard is set.
  poke({{0x003D, 0x43}});
  std::vector<bool> wrote;
  QObject::connect(&set, &PttIdPauseSet::boxShown, [&](int i, bool on) {
    EXPECT_TRUE(set.updating());
    wrote.push_back(set.boxClicked(i, on));
  });
  set.PttIdPauseChSet();
  EXPECT_EQ(wrote, std::vector<bool>(16, false));
  EXPECT_EQ(boxes(), "0010000000000000");

  wrote.clear();
  image.set(0x004D, 0x44);  // flag of channel 4 set behind the dialog's back
  ASSERT_TRUE(set.chooseNone());
  EXPECT_EQ(wrote, std::vector<bool>(16, false));
  EXPECT_EQ(flags(), "0000000000000000") << "None clears every flag itself";
  EXPECT_TRUE(set.noneChosen()) << "the program's unticking does not touch the choices";
  EXPECT_FALSE(set.updating());
}

TEST_F(PttIdPause, FailuresAreLoggedWithTheirTagsAndChangeNoFlag) {
  const int reports = log.reportCount();
  EXPECT_FALSE(set.boxClicked(16, true));
  EXPECT_FALSE(set.boxClicked(-1, true));
  EXPECT_EQ(log.reportCount(), reports + 2);
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmPttIdPauseChSet->chkPttIdPauseChSet_Click"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);

  // An image that ends inside the channel records: nothing is written.
  ByteArray small(0x0100);
  for (int a = 0; a <= 0x0100; ++a) small.set(a, 0x00);
  PttIdPauseSet s(small, log);
  EXPECT_FALSE(s.chooseAll());
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmPttIdPauseChSet->chkSelectAll_Click"));
  EXPECT_EQ(small.at(0x001D), 0x00);
  s.PttIdPauseChSet();
  EXPECT_EQ(log.lastTag(), QStringLiteral("frmPttIdPauseChSet->PttIdPauseChSet"));
  EXPECT_FALSE(s.updating()) << "the guard is cleared after a failure";
}

TEST_F(PttIdPause, CliArrayHoldsTheSixteenFlags) {
  poke({{0x001D, 0x40}, {0x010D, 0xFF}});
  const QJsonArray json = pttIdPauseJson(image);
  ASSERT_EQ(json.size(), kPttIdPauseChannels);
  std::string got;
  for (const QJsonValue& v : json) got += v.toBool() ? '1' : '0';
  EXPECT_EQ(got, "1000000000000001");
  // The factory image's erased records have every flag set.
  for (const QJsonValue& v : pttIdPauseJson(factoryImage())) EXPECT_TRUE(v.toBool());
  // Channels beyond a short image show false.
  ByteArray small(0x0050);
  small.set(0x001D, 0x40);
  const QJsonArray shortJson = pttIdPauseJson(small);
  EXPECT_TRUE(shortJson.at(0).toBool());
  EXPECT_FALSE(shortJson.at(15).toBool());
}

}  // namespace
}  // namespace zr
