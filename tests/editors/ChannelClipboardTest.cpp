// Channels as tab-separated text: what a copy holds, and a paste entering
// every cell through the grid's typing rules.
#include <gtest/gtest.h>

#include "editors/ChannelClipboard.h"
#include "GridFixture.h"

namespace zr {
namespace {

class ChannelClipboardTest : public testing::GridFixture {
 protected:
  QStringList row(int r) const {
    QStringList cells;
    for (int c = 1; c < grid.columnCount(); ++c) cells << grid.text(r, c);
    return cells;
  }
};

TEST_F(ChannelClipboardTest, CopyHoldsCaptionsAndTheSelectedRows) {
  type(2, 1, "146.52");
  type(2, 2, "");
  type(4, 1, "150.0");
  EXPECT_EQ(copyChannelRows(grid, {4, 2, 4}),
            "CH\tRx\tTx\tDec\tEnc\tPower\tW/N\tScan\tBCL\tVOX\tPTT ID\n"
            "2\t146.52000\t\tNone\t\tHigh\tWide\tOn\tOff\tOff\tOff\n"
            "4\t150.00000\t150.00000\tNone\tNone\tHigh\tWide\tOn\tOff\tOff\tOff\n");
}

TEST_F(ChannelClipboardTest, CopiedRowsPasteBackAsTheyWere) {
  type(1, 1, "146.52");
  grid.doubleClick(1, 8);  // BCL: Carrier
  grid.click(1, 3);
  grid.setPickerText("67.0");
  grid.pickerFocusOut();
  type(2, 1, "147.0");
  type(2, 2, "");
  const QString text = copyChannelRows(grid, {1, 2, 3});
  type(7, 1, "160.0");  // row 9 (under the empty row 3) is emptied by the paste
  type(9, 1, "160.0");
  const PasteResult r = pasteChannelRows(grid, core, 7, text);
  EXPECT_TRUE(r.refused.isEmpty()) << r.refused.join('\n').toStdString();
  EXPECT_EQ(r.channels, 3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(row(7 + k).join('|').toStdString(), row(1 + k).join('|').toStdString());
  for (int j = 1; j <= 10; ++j) EXPECT_EQ(core.ChTable.get(j, 7), core.ChTable.get(j, 1)) << j;
  EXPECT_EQ(core.ChTable.encodeTone(7), "67.0");
}

TEST_F(ChannelClipboardTest, SpreadsheetTextIsEnteredAsTyped) {
  struct Case {
    const char* name;
    const char* text;
    QStringList firstRow;  // grid row 5 afterwards
    QStringList adjusted;  // the cells reported as changed to fit
  };
  const Case cases[] = {
      // Frequencies snap to 250 Hz and stay in the band; a new channel takes the defaults.
      // A decode tone sets the encode tone as well.
      {"columns in grid order", "146.5213\t180\t023i\n",
       {"146.52125", "174.00000", "D023I", "D023I", "High", "Wide", "On", "Off", "Off", "Off"},
       {"channel 5, Rx: \"146.5213\": snapped to the 250 Hz raster: 146.52125 MHz",
        "channel 5, Tx: \"180\": 180.00000 MHz is outside the band, kept as 174.00000 MHz",
        "channel 5, Dec: \"023i\" read as the DCS code D023I"}},
      // An empty transmit cell is a channel without transmit frequency, as copied.
      {"led by a channel number", "1\t146.52\t\t\t\tLow\tNarrow\tOff\tCarrier\tOn\tBOTH\n",
       {"146.52000", "", "None", "", "Low", "Narrow", "Off", "Carrier", "On", "BOTH"}, {}},
      {"captions in another order", "power\tRx\tEnc\r\nLow\t146.52\t100.0\r\n",
       {"146.52000", "146.52000", "None", "100.0", "Low", "Wide", "On", "Off", "Off", "Off"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core.codec.InitChTable();
    grid.ShowChTblGrid();
    const PasteResult r = pasteChannelRows(grid, core, 5, QString::fromUtf8(c.text));
    EXPECT_TRUE(r.refused.isEmpty()) << r.refused.join('\n').toStdString();
    EXPECT_EQ(row(5).join('|').toStdString(), c.firstRow.join('|').toStdString());
    EXPECT_EQ(r.adjusted.join('\n').toStdString(), c.adjusted.join('\n').toStdString());
  }
}

TEST_F(ChannelClipboardTest, RefusedCellsAreListedAndTheRestIsTaken) {
  type(2, 1, "146.52");
  const PasteResult r =
      pasteChannelRows(grid, core, 15, "abc\t\t\t\tHigh\n150.0\t\tD089\t\tMedium\n151.0\n152.0\n");
  ASSERT_EQ(r.refused.size(), 4) << r.refused.join('\n').toStdString();
  EXPECT_TRUE(r.refused[0].contains("channel 15, Rx")) << r.refused[0].toStdString();
  EXPECT_TRUE(r.refused[1].contains("channel 16, Dec")) << r.refused[1].toStdString();
  EXPECT_TRUE(r.refused[2].contains("channel 16, Power")) << r.refused[2].toStdString();
  EXPECT_TRUE(r.refused[3].contains("2 more line(s)")) << r.refused[3].toStdString();
  EXPECT_EQ(core.ChTable.get(kRowRx, 15), -1);  // a refused frequency makes no channel
  EXPECT_EQ(grid.text(16, 1), "150.00000");
  EXPECT_EQ(grid.text(16, 3), "None");  // entered as typed: not a tone
  EXPECT_EQ(r.channels, 2);

  // Under the lock nothing is entered.
  core.settings.LockState = kLockOn;
  const PasteResult locked = pasteChannelRows(grid, core, 3, "146.52\n");
  EXPECT_EQ(locked.refused.size(), 1);
  EXPECT_EQ(core.ChTable.get(kRowRx, 3), -1);
  deleteChannelRows(grid, {2});
  EXPECT_NE(core.ChTable.get(kRowRx, 2), -1);
}

}  // namespace
}  // namespace zr
