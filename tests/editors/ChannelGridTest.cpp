// The channel grid's rules, driven through the model as the window drives it.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "editors/ChannelGrid.h"
#include "editors/ToneEntry.h"
#include "data/Core.h"
#include "GridFixture.h"

namespace zr {
namespace {

class ChannelGridTest : public testing::GridFixture {
 protected:
  void pick(int row, int col, const QString& text) {
    grid.click(row, col);
    grid.setPickerText(text);
    grid.pickerFocusOut();
  }
};

TEST_F(ChannelGridTest, TypingAReceiveFrequencyMakesANewChannel) {
  type(1, 1, "146.52");
  EXPECT_EQ(core.ChTable.get(kRowRx, 1), 14652000);
  EXPECT_EQ(core.ChTable.get(kRowTx, 1), 14652000);
  EXPECT_EQ(grid.text(1, 1), "146.52000");
  EXPECT_EQ(grid.text(1, 2), "146.52000");
  EXPECT_EQ(grid.text(1, 3), "None");
  EXPECT_EQ(grid.text(1, 4), "None");
  EXPECT_EQ(core.ChTable.decodeTone(1), "None");
  EXPECT_EQ(core.ChTable.encodeTone(1), "None");
  const QStringList options = {"High", "Wide", "On", "Off", "Off", "Off"};
  for (int j = 5; j <= 10; ++j) EXPECT_EQ(grid.text(1, j), options[j - 5]) << j;
  EXPECT_EQ(grid.cursorRow(), 1);
  EXPECT_EQ(grid.cursorCol(), 2);
  // A complete row goes straight into the image: 146.52000 MHz as BCD, low byte first.
  const ByteArray& img = core.image.TempArray;
  EXPECT_EQ(img.at(0x10), 0x00);
  EXPECT_EQ(img.at(0x11), 0x20);
  EXPECT_EQ(img.at(0x12), 0x65);
  EXPECT_EQ(img.at(0x13), 0x14);
  EXPECT_EQ(img.word(0x18), 0xFFFF);  // no tone

  band_[0] = 40000000;
  band_[1] = 52000000;
  type(2, 1, "146.52");
  EXPECT_EQ(core.ChTable.get(kRowRx, 2), 40000000);  // clamped to the band
}

TEST_F(ChannelGridTest, TypedFrequenciesAreReadByPositionSnappedAndClamped) {
  band_[0] = 12000000;
  band_[1] = 52000000;
  struct Case { const char* typed; int stored; } cases[] = {
      {"146.52", 14652000},    {"146.52500", 14652500}, {"146.5212", 14652125}, {"146.5213", 14652125},
      {"146.5214", 14652150},  {"46.52", 46020000},     {"46.5", 46000000},     {"146.520000", 12000000},
      {"600", 52000000},       {"100", 12000000},       {"446.00625", 44600625},
  };
  for (const auto& c : cases) {
    type(3, 1, c.typed);
    EXPECT_EQ(core.ChTable.get(kRowRx, 3), c.stored) << c.typed;
  }
  EXPECT_EQ(ChannelGrid::typedFrequency("abc"), std::nullopt);
  EXPECT_EQ(ChannelGrid::typedFrequency(""), std::nullopt);
  EXPECT_EQ(ChannelGrid::ModifyTxRxFre(14652120), 14652125);
}

TEST_F(ChannelGridTest, EmptyingCellsClearsTheRowOrTheTransmitSide) {
  type(1, 1, "146.52");
  type(1, 2, "");
  EXPECT_EQ(core.ChTable.get(kRowTx, 1), -1);
  EXPECT_EQ(grid.text(1, 2), "");
  EXPECT_EQ(grid.text(1, 4), "");
  EXPECT_EQ(core.ChTable.encodeTone(1), "");
  EXPECT_EQ(grid.text(1, 3), "None");

  // Without a transmit frequency the encode tone cannot be edited; a click on it goes to Tx.
  EXPECT_FALSE(grid.beforeEdit(1, 4));
  grid.click(1, 4);
  EXPECT_EQ(grid.cursorCol(), 2);
  EXPECT_FALSE(grid.pickerVisible());

  type(1, 1, "");
  for (int j = 1; j <= 10; ++j) {
    EXPECT_EQ(grid.text(1, j), "") << j;
    EXPECT_EQ(core.ChTable.get(j, 1), -1) << j;
  }
  EXPECT_EQ(grid.cursorCol(), 1);
  // An empty channel only takes a receive frequency.
  EXPECT_TRUE(grid.beforeEdit(1, 1));
  EXPECT_FALSE(grid.beforeEdit(1, 2));
  EXPECT_FALSE(grid.beforeEdit(1, 5));
}

TEST_F(ChannelGridTest, DoubleClicksCycleOptionsAndCopyTheReceiveSide) {
  type(1, 1, "146.52");
  const QStringList bcl = {"Carrier", "QT/DQT", "Off", "Carrier"};
  for (const QString& expected : bcl) {
    grid.doubleClick(1, 8);
    EXPECT_EQ(grid.text(1, 8), expected);
  }
  EXPECT_EQ(core.ChTable.get(8, 1), 1);

  type(1, 2, "");
  pick(1, 3, "67.0");
  grid.doubleClick(1, 2);
  EXPECT_EQ(core.ChTable.get(kRowTx, 1), 14652000);
  EXPECT_EQ(grid.text(1, 2), "146.52000");
  EXPECT_EQ(grid.text(1, 4), "67.0");
  EXPECT_EQ(core.ChTable.encodeTone(1), "67.0");
}

// A grid of 128 channels and 20 columns: row 100 is the VFO, whose column 10
// is neither edited nor cycled, and column 20 is edited like a frequency but
// never cycled.
TEST_F(ChannelGridTest, VfoRowAndColumnTwenty) {
  for (int a = 0x0400; a <= 0x1000; ++a) core.image.DefTempArray.set(a, 0xFF);
  ChColumnDefs d = columnDefs();
  d.channelCount = 128;
  d.columnCount = 20;
  d.widths.assign(21, 1000);
  d.items.resize(21);
  for (int j = 11; j <= 20; ++j) d.items[static_cast<size_t>(j)] = {"Off|On", "2", "1", "Off", "On"};
  core.columns = d;
  grid.SetChGrid();
  core.codec.InitChTable();
  grid.ShowChTblGrid();
  ASSERT_EQ(grid.rowCount(), 129);
  ASSERT_EQ(grid.columnCount(), 21);
  EXPECT_EQ(grid.text(99, 0), "99");
  EXPECT_EQ(grid.text(100, 0), "VFO");
  EXPECT_EQ(grid.text(101, 0), "");

  for (int r : {99, 100}) type(r, 1, "146.52");
  EXPECT_EQ(grid.text(100, 20), "On");  // a new channel takes every column's default, 20 included
  EXPECT_TRUE(grid.beforeEdit(99, 10));
  EXPECT_FALSE(grid.beforeEdit(100, 10));
  EXPECT_TRUE(grid.beforeEdit(100, 9));
  EXPECT_TRUE(grid.beforeEdit(100, 20));
  EXPECT_EQ(grid.editMode(20), EditMode::KeyboardMouse);

  core.ChTable.set(10, 99, 2);
  core.ChTable.set(10, 100, 2);
  grid.doubleClick(99, 10);
  grid.doubleClick(100, 10);
  EXPECT_EQ(core.ChTable.get(10, 99), 3);
  EXPECT_EQ(core.ChTable.get(10, 100), 0);  // the VFO's column 10 drops to 0
  EXPECT_EQ(grid.text(100, 10), "Off");
  grid.doubleClick(100, 20);
  EXPECT_EQ(core.ChTable.get(20, 100), 1);
  EXPECT_EQ(grid.text(100, 20), "On");

  // The VFO cannot be deleted from the context menu.
  EXPECT_TRUE(grid.rightButton(100, 1, false, false).delOneEnabled);
  grid.deleteOne();
  EXPECT_EQ(core.ChTable.get(kRowRx, 100), 14652000);
  EXPECT_EQ(core.log.reportCount(), 0) << core.log.lines().mid(0, 6).join("\n").toStdString();
}

TEST_F(ChannelGridTest, TonePickerCommitsCanonicalTexts) {
  type(1, 1, "146.52");
  pick(1, 3, "67.0");
  EXPECT_EQ(core.ChTable.decodeTone(1), "67.0");
  EXPECT_EQ(core.ChTable.encodeTone(1), "67.0");  // a decode entry sets the encode tone too
  pick(1, 4, "D023");
  EXPECT_EQ(core.ChTable.decodeTone(1), "67.0");
  EXPECT_EQ(core.ChTable.encodeTone(1), "D023N");
  EXPECT_EQ(grid.text(1, 4), "D023N");

  pick(1, 4, "754i12");  // longer than five characters: abandoned
  EXPECT_EQ(core.ChTable.encodeTone(1), "D023N");

  // Saving or writing commits a pending entry and closes the picker.
  grid.click(1, 4);
  grid.setPickerText("754i");
  ASSERT_TRUE(grid.pickerVisible());
  grid.commitPendingTone();
  EXPECT_EQ(core.ChTable.encodeTone(1), "D754I");
  EXPECT_FALSE(grid.pickerVisible());

  // A decode entry on a channel without transmit frequency leaves the encode tone blank.
  type(1, 2, "");
  pick(1, 3, "100.0");
  EXPECT_EQ(core.ChTable.decodeTone(1), "100.0");
  EXPECT_EQ(core.ChTable.encodeTone(1), "");
  EXPECT_EQ(grid.text(1, 4), "");
}

// A committed tone is stored once. The next click must not store it again:
// by then the channel may hold something else (another file, an undo, a
// deletion), and a channel emptied since would lose its settings.
TEST_F(ChannelGridTest, ACommittedToneIsNotStoredAgainByTheNextClick) {
  const struct {
    const char* name;
    void (*commit)(ChannelGrid&);
  } commits[] = {
      {"focus leaves the picker", [](ChannelGrid& g) { g.pickerFocusOut(); }},
      {"a save commits the pending tone", [](ChannelGrid& g) { g.commitPendingTone(); }},
  };
  for (const auto& c : commits) {
    SCOPED_TRACE(c.name);
    core.codec.InitChTable();
    grid.ShowChTblGrid();
    type(16, 1, "146.52");
    grid.click(16, 3);
    grid.setPickerText("67.0");
    c.commit(grid);
    ASSERT_EQ(core.ChTable.decodeTone(16), "67.0");

    // Other data arrives (an Open): channel 16 there has no tone.
    core.codec.InitChTable();
    grid.ShowChTblGrid();
    type(16, 1, "150.0");
    const QString decode = core.ChTable.decodeTone(16);
    std::vector<int> before;
    for (int row = 1; row < ChannelTable::kRows; ++row) before.push_back(core.ChTable.get(row, 16));
    grid.click(2, 1);
    grid.click(5, 6);
    std::vector<int> after;
    for (int row = 1; row < ChannelTable::kRows; ++row) after.push_back(core.ChTable.get(row, 16));
    EXPECT_EQ(after, before);
    EXPECT_EQ(core.ChTable.decodeTone(16), decode);
    EXPECT_EQ(grid.text(16, 3), decode);
    EXPECT_NE(decode, "67.0");
  }
}

TEST(ToneEntry, CanonicalTexts) {
  struct Case { const char* typed; const char* result; } cases[] = {
      {"67.0", "67.0"},   {"67.5", "67.5"},   {"100.0", "100.0"}, {"254.1", "254.1"}, {"023", "D023N"},
      {"023i", "D023I"},  {"754i", "D754I"},  {"D023", "D023N"},  {"D023I", "D023I"}, {"D023n", "D023N"},
      {"D089", "None"},   {"12.3", "None"},   {"d754", "None"},   {"None", "None"},   {"", "None"},
      {"777.9", "D777N"}, {"59.9", "None"},   {"265.1", "D265N"}, {"288.0", "None"},
  };
  for (const auto& c : cases) {
    const auto r = canonicalToneText(c.typed, "None");
    ASSERT_TRUE(r.has_value()) << c.typed;
    EXPECT_EQ(*r, c.result) << c.typed;
  }
  for (const char* abandoned : {"754i12", "x7.0", ".67.0", "D0234I"})
    EXPECT_EQ(canonicalToneText(abandoned, "None"), std::nullopt) << abandoned;
}

TEST_F(ChannelGridTest, ContextMenuAndDeletion) {
  type(1, 1, "146.52");
  type(2, 1, "147.00");
  ContextMenuState empty = grid.rightButton(5, 1, true, false);
  EXPECT_FALSE(empty.delOneEnabled);
  EXPECT_TRUE(empty.delAllEnabled);
  EXPECT_EQ(empty.delOneCaption, "Delete channel 5");
  EXPECT_EQ(empty.delAllCaption, "Delete all channels");
  EXPECT_EQ(empty.lockCaption, "&Lock Channel Interface");
  ContextMenuState locked = grid.rightButton(1, 1, true, true);
  EXPECT_FALSE(locked.delOneEnabled);
  EXPECT_FALSE(locked.delAllEnabled);
  EXPECT_TRUE(locked.lockChecked);

  ContextMenuState one = grid.rightButton(1, 3, false, false);
  EXPECT_TRUE(one.delOneEnabled);
  EXPECT_FALSE(one.lockVisible);
  grid.deleteOne();
  EXPECT_EQ(core.ChTable.get(kRowRx, 1), -1);
  EXPECT_EQ(grid.text(1, 1), "");
  EXPECT_EQ(core.image.TempArray.at(0x13), 0xFF);  // record restored from the default image
  EXPECT_EQ(grid.text(2, 1), "147.00000");

  grid.deleteAll();
  for (int r = 1; r <= 16; ++r)
    for (int j = 1; j <= 10; ++j) ASSERT_EQ(grid.text(r, j), "") << r << "," << j;
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(ChannelGridTest, TheLockFreezesEveryEdit) {
  type(1, 1, "146.52");
  core.settings.LockState = kLockOn;
  type(1, 1, "147.00");
  grid.GridChAfterEdit(1, 1, "147.00");
  grid.doubleClick(1, 8);
  grid.click(1, 3);
  EXPECT_EQ(core.ChTable.get(kRowRx, 1), 14652000);
  EXPECT_EQ(grid.text(1, 8), "Off");
  EXPECT_FALSE(grid.pickerVisible());
}

TEST_F(ChannelGridTest, RedisplayShowsTheImageWithBandColours) {
  core.settings.OverColor = "255";
  core.settings.DefColor = "0";
  type(1, 1, "146.52");
  band_[0] = 40000000;
  band_[1] = 52000000;
  grid.ShowChTblGrid();
  EXPECT_EQ(grid.text(1, 1), "146.52000");
  EXPECT_EQ(grid.colour(1, 1), 255);  // outside the band now
  EXPECT_EQ(grid.colour(1, 3), 0);
  EXPECT_EQ(grid.text(0, 5), "Power");
  EXPECT_EQ(grid.text(7, 0), "7");
}

}  // namespace
}  // namespace zr
