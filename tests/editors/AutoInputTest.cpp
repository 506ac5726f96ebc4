// The automatic channel input, driven through its model over a real channel
// grid: every change must arrive as a typed entry would.
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

#include "editors/AutoInput.h"
#include "editors/ChannelGrid.h"
#include "data/Core.h"
#include "GridFixture.h"

namespace zr {
namespace {

using A = AutoInput;

class AutoInputTest : public testing::GridFixture {
 protected:
  AutoInputTest() { setBand(40000000, 47000000); }

  void setBand(int lo, int hi) {
    band_[0] = lo;
    band_[1] = hi;
  }
  void range(int first, int last) {
    ASSERT_TRUE(input.setListPosition(A::kListFirstCh, first - 1));
    ASSERT_TRUE(input.setListPosition(A::kListLastCh, last - 1));
  }
  int rx(int ch) { return core.ChTable.get(kRowRx, ch); }
  int tx(int ch) { return core.ChTable.get(kRowTx, ch); }
  QString tone(int pos) { return core.tones.CtdcsList()[pos]; }
  int imageWord(int ch, int offset) { return core.image.TempArray.word(0x10 * ch + offset); }

  std::deque<double> draws;
  std::vector<QString> statusDuringWait;

  AutoInput input{{grid, core.ChTable, core.columns, core.tones, core.settings, core.log,
                   [this] { return band_[0]; }, [this] { return band_[1]; },
                   [this] {
                     const double r = draws.front();
                     draws.pop_front();
                     return r;
                   },
                   [this](int ms) {
                     EXPECT_EQ(ms, 200);
                     statusDuringWait.push_back(input.status());
                   }}};
};

TEST_F(AutoInputTest, ReceiveRunsFollowTheGridRules) {
  struct Case {
    const char* name;
    int first, last;
    const char* firstText;
    const char* stepText;
    std::vector<int> expected;  // receive frequency of channels first..last
    const char* firstAfter;
    const char* stepAfter;
  } cases[] = {
      {"steps of 12.5 kHz", 1, 16, "400.0125", "12.5",
       {40001250, 40002500, 40003750, 40005000, 40006250, 40007500, 40008750, 40010000, 40011250, 40012500,
        40013750, 40015000, 40016250, 40017500, 40018750, 40020000},
       "400.0125", "12.5"},
      {"a first frequency below the band starts at its edge", 1, 2, "399", "25", {40000000, 40002500}, "399", "25"},
      {"a step below 1 kHz becomes 25 kHz", 3, 4, "410", "0.5", {41000000, 41002500}, "410", "25"},
      {"a step above 100 MHz becomes 25 kHz", 1, 2, "410", "100000.01", {41000000, 41002500}, "410", "25"},
      {"an unreadable step becomes 25 kHz", 1, 2, "410", "x", {41000000, 41002500}, "410", "25"},
      {"an empty first box starts at BandMin", 1, 2, "", "6.25", {40000000, 40000625}, "400.00000", "6.25"},
      {"off-raster values snap to 250 Hz", 1, 2, "400.00012", "1.01", {40000000, 40000100}, "400.00012", "1.01"},
      // The tail of a run repeats BandMax, also past 1000 MHz.
      {"long runs end on BandMax", 1, 8, "469", "100000",
       {46900000, 47000000, 47000000, 47000000, 47000000, 47000000, 47000000, 47000000}, "469", "100000"},
  };
  for (const Case& c : cases) {
    grid.deleteAll();
    range(c.first, c.last);
    input.setBoxText(A::kBoxRxFirst, c.firstText);
    input.setBoxText(A::kBoxRxStep, c.stepText);
    input.click(A::kSetRx);
    for (int ch = 1; ch <= 16; ++ch) {
      const int k = ch - c.first;
      const bool inRange = k >= 0 && ch <= c.last;
      const int want = inRange ? c.expected[static_cast<size_t>(k)] : -1;
      EXPECT_EQ(rx(ch), want) << c.name << " ch " << ch;
      // New channels get the grid's defaults: transmit copied, no tone, option defaults.
      EXPECT_EQ(tx(ch), want) << c.name << " ch " << ch;
      EXPECT_EQ(grid.text(ch, 3), inRange ? "None" : "") << c.name;
      EXPECT_EQ(grid.text(ch, 5), inRange ? "High" : "") << c.name;
    }
    EXPECT_EQ(input.boxText(A::kBoxRxFirst), c.firstAfter) << c.name;
    EXPECT_EQ(input.boxText(A::kBoxRxStep), c.stepAfter) << c.name;
  }
  EXPECT_EQ(core.log.reportCount(), 1);  // the unreadable step
  // Complete rows are encoded at once: channel 1 holds 469.00000 MHz.
  EXPECT_EQ(core.image.TempArray.at(0x13), 0x46);
  EXPECT_EQ(core.image.TempArray.at(0x12), 0x90);
}

TEST_F(AutoInputTest, RunsThatCannotStartChangeNothing) {
  struct Case {
    const char* name;
    int first, last;
    const char* firstText;
    const char* firstAfter;
  } cases[] = {
      {"first channel after the last", 5, 3, "400", "400"},
      {"a first frequency that is not numeric", 1, 16, "abc", ""},
      {"a first frequency that cannot be converted", 1, 16, "1e400", "1e400"},
  };
  for (const Case& c : cases) {
    range(c.first, c.last);
    input.setBoxText(A::kBoxRxFirst, c.firstText);
    input.click(A::kSetRx);
    for (int ch = 1; ch <= 16; ++ch) EXPECT_EQ(rx(ch), -1) << c.name << " ch " << ch;
    EXPECT_EQ(input.boxText(A::kBoxRxFirst), c.firstAfter) << c.name;
  }
}

TEST_F(AutoInputTest, ConversionsAndLeavingTheBoxes) {
  setBand(13600000, 17400000);
  struct Fre { const char* text; int value; } fres[] = {
      {"146.52", 14652000}, {"146.5212", 14652125}, {"100", 13600000}, {"1200", 17400000},
      {"abc", 0},           {"", 0},                {" 150.0 ", 15000000},
  };
  for (const auto& c : fres) EXPECT_EQ(input.InputFreModify(c.text), c.value) << c.text;
  struct Step { const char* text; int value; } steps[] = {
      {"12.5", 1250}, {"6.25", 625}, {"1", 100}, {"0.99", 2500}, {"100000", 10000000}, {"100000.01", 2500},
      {"-5", 2500},   {"x", 0},
  };
  for (const auto& c : steps) EXPECT_EQ(input.InputStepModify(c.text), c.value) << c.text;

  setBand(40000000, 47000000);
  struct Leave { int box; const char* typed; const char* shown; } leaves[] = {
      {A::kBoxRxFirst, "399", "400.00000"},     {A::kBoxTxFirst, "446.00625", "446.00625"},
      {A::kBoxRxFirst, "abc", ""},              {A::kBoxTxFirst, "500", "470.00000"},
      {A::kBoxRxStep, "12.50", "12.5"},         {A::kBoxTxStep, "0.5", "25"},
      {A::kBoxRxStep, "6.25", "6.25"},          {A::kBoxTxStep, "100000", "100000"},
  };
  for (const auto& c : leaves) {
    input.setBoxText(c.box, c.typed);
    input.boxLostFocus(c.box);
    EXPECT_EQ(input.boxText(c.box), c.shown) << c.typed;
  }
}

TEST_F(AutoInputTest, TransmitRunsAndTxEquRx) {
  range(1, 3);
  type(1, 1, "430");
  input.setBoxText(A::kBoxTxFirst, "440");
  input.setBoxText(A::kBoxTxStep, "12.5");
  input.click(A::kSetTx);
  EXPECT_EQ(rx(1), 43000000);
  EXPECT_EQ(tx(1), 44000000);
  EXPECT_EQ(core.image.TempArray.at(0x17), 0x44);  // channel 1's transmit frequency went into the image
  // Empty channels get transmit cells but stay empty in the image.
  EXPECT_EQ(grid.text(2, 2), "440.01250");
  EXPECT_EQ(rx(2), -1);
  core.codec.ChInfoToIicDat();
  EXPECT_TRUE(core.codec.holdsChannel(1));
  EXPECT_FALSE(core.codec.holdsChannel(2));

  // Ticking "TX EQU RX" runs the receive Set at once and locks the transmit frame.
  grid.deleteAll();
  input.setBoxText(A::kBoxRxFirst, "450");
  input.setBoxText(A::kBoxRxStep, "25");
  type(2, 1, "460");
  type(2, 2, "465");  // an existing transmit frequency is overwritten too
  input.setChecked(A::kChkTxEquRx, true);
  EXPECT_FALSE(input.txFrameEnabled());
  for (int ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(rx(ch), 45000000 + (ch - 1) * 2500) << ch;
    EXPECT_EQ(tx(ch), rx(ch)) << ch;
  }
  input.setChecked(A::kChkTxEquRx, false);
  EXPECT_TRUE(input.txFrameEnabled());
}

TEST_F(AutoInputTest, TonesStepThroughTheListAndSkipEmptyChannels) {
  for (int ch : {1, 3, 4, 5}) type(ch, 1, "446");
  type(4, 2, "");  // channel 4 has no transmit frequency
  range(1, 5);
  input.setListPosition(A::kListFirstTone, 1);
  input.setListPosition(A::kListToneStep, 6);

  input.click(A::kSetTones);  // no target selected: nothing happens
  EXPECT_EQ(grid.text(1, 3), "None");

  input.selectOption(A::kOptToneDecEnc);
  input.click(A::kSetTones);
  // Positions 1, 7, 13, 19, 25; channel 2 is empty yet still takes a step.
  const QString dec[] = {tone(1), "", tone(13), tone(19), tone(25)};
  const QString enc[] = {tone(1), "", tone(13), "", tone(25)};
  for (int ch = 1; ch <= 5; ++ch) {
    EXPECT_EQ(grid.text(ch, 3), dec[ch - 1]) << ch;
    EXPECT_EQ(core.ChTable.decodeTone(ch), dec[ch - 1]) << ch;
    EXPECT_EQ(grid.text(ch, 4), enc[ch - 1]) << ch;
  }
  EXPECT_EQ(imageWord(1, 8), 670);  // 67.0 Hz in the image
  EXPECT_EQ(imageWord(1, 10), 670);
  EXPECT_EQ(input.listPosition(A::kListFirstTone), 1);

  // Decode only; the position wraps to the first CTCSS tone before the last entry.
  struct Case { int option, first, step; std::vector<int> dec, enc; } cases[] = {
      {A::kOptToneDec, 255, 6, {255, -1, 7, 13, 19}, {1, -1, 13, -1, 25}},
      {A::kOptToneEnc, 260, 0, {255, -1, 7, 13, 19}, {260, -1, 1, -1, 1}},
      {A::kOptToneDec, 259, 1, {259, -1, 2, 3, 4}, {260, -1, 1, -1, 1}},
  };
  for (const auto& c : cases) {
    input.selectOption(c.option);
    input.setListPosition(A::kListFirstTone, c.first);
    input.setListPosition(A::kListToneStep, c.step);
    input.click(A::kSetTones);
    for (int ch = 1; ch <= 5; ++ch) {
      const size_t k = static_cast<size_t>(ch - 1);
      EXPECT_EQ(grid.text(ch, 3), c.dec[k] < 0 ? "" : tone(c.dec[k])) << c.first << " ch " << ch;
      EXPECT_EQ(grid.text(ch, 4), c.enc[k] < 0 ? "" : tone(c.enc[k])) << c.first << " ch " << ch;
    }
  }
}

TEST_F(AutoInputTest, RandomTonesComeFromTheRandomSource) {
  for (int ch = 1; ch <= 4; ++ch) type(ch, 1, "446");
  range(1, 4);
  input.setListPosition(A::kListFirstTone, 5);
  input.setChecked(A::kChkRandom, true);
  EXPECT_FALSE(input.toneListsEnabled());
  input.selectOption(A::kOptToneDec);
  draws = {0.0, 0.5, 0.9999, 0.2};  // r x 261 -> 0, 130, 260, 52
  input.click(A::kSetTones);
  EXPECT_TRUE(draws.empty());
  const int want[] = {0, 130, 260, 52};
  for (int ch = 1; ch <= 4; ++ch) EXPECT_EQ(grid.text(ch, 3), tone(want[ch - 1])) << ch;
  EXPECT_EQ(grid.text(1, 4), "None");
  EXPECT_EQ(input.listPosition(A::kListFirstTone), 5);
  input.setChecked(A::kChkRandom, false);
  EXPECT_TRUE(input.toneListsEnabled());
}

TEST_F(AutoInputTest, OptionGroupsStoreTheirValuesOnChannelsWithFrequencies) {
  type(1, 1, "446");  // receive and transmit
  type(2, 1, "446");
  type(2, 2, "");     // receive only
  range(1, 3);        // channel 3 stays empty
  struct Case { int option, button, row, value; const char* shown; bool needsTx; } cases[] = {
      {A::kOptPowerLow, A::kSetPower, 5, 0, "Low", true},
      {A::kOptPowerHigh, A::kSetPower, 5, 1, "High", true},
      {A::kOptNarrow, A::kSetWide, 6, 0, "Narrow", false},
      {A::kOptWide, A::kSetWide, 6, 1, "Wide", false},
      {A::kOptScanOff, A::kSetScan, 7, 0, "Off", false},
      {A::kOptBclCarrier, A::kSetBusyLock, 8, 1, "Carrier", false},
      {A::kOptBclQtDqt, A::kSetBusyLock, 8, 2, "QT/DQT", false},
      {A::kOptBclOff, A::kSetBusyLock, 8, 0, "Off", false},
      {A::kOptVoxOn, A::kSetVox, 9, 1, "On", false},
      {A::kOptPttIdEot, A::kSetPttId, 10, 2, "EOT", false},
      {A::kOptPttIdBoth, A::kSetPttId, 10, 3, "BOTH", false},
      {A::kOptPttIdBot, A::kSetPttId, 10, 1, "BOT", false},
  };
  for (const auto& c : cases) {
    const int before2 = core.ChTable.get(c.row, 2);
    const int before3 = core.ChTable.get(c.row, 3);
    input.selectOption(c.option);
    input.click(c.button);
    EXPECT_EQ(core.ChTable.get(c.row, 1), c.value) << c.shown;
    EXPECT_EQ(grid.text(1, c.row), c.shown) << c.shown;
    EXPECT_EQ(core.ChTable.get(c.row, 2), c.needsTx ? before2 : c.value) << c.shown;
    EXPECT_EQ(core.ChTable.get(c.row, 3), before3) << c.shown;
    EXPECT_EQ(grid.text(3, c.row), "") << c.shown;
  }
  // The image follows: channel 1 is complete, so every Set encoded it (power low at byte 13 bit 4).
  input.selectOption(A::kOptPowerLow);
  input.click(A::kSetPower);
  EXPECT_EQ(core.image.TempArray.at(0x1D) & 0x10, 0);
  input.selectOption(A::kOptPowerHigh);
  input.click(A::kSetPower);
  EXPECT_NE(core.image.TempArray.at(0x1D) & 0x10, 0);
}

TEST_F(AutoInputTest, SetAllRunsEverythingButVoxAndPttIdInOrder) {
  range(1, 4);
  input.setBoxText(A::kBoxRxFirst, "430");
  input.setBoxText(A::kBoxRxStep, "25");
  input.setBoxText(A::kBoxTxFirst, "440");
  input.setBoxText(A::kBoxTxStep, "12.5");
  input.setListPosition(A::kListFirstTone, 1);
  input.setListPosition(A::kListToneStep, 1);
  for (int o : {A::kOptToneDecEnc, A::kOptPowerLow, A::kOptNarrow, A::kOptScanOff, A::kOptBclCarrier,
                A::kOptVoxOn, A::kOptPttIdBoth})
    input.selectOption(o);
  input.click(A::kSetAll);
  EXPECT_EQ(statusDuringWait, std::vector<QString>{"Please Wait..."});
  EXPECT_EQ(input.status(), "");
  // Tones and options land on channels the frequency runs have just made.
  for (int ch = 1; ch <= 4; ++ch) {
    EXPECT_EQ(rx(ch), 43000000 + (ch - 1) * 2500) << ch;
    EXPECT_EQ(tx(ch), 44000000 + (ch - 1) * 1250) << ch;
    EXPECT_EQ(grid.text(ch, 3), tone(ch)) << ch;
    EXPECT_EQ(grid.text(ch, 4), tone(ch)) << ch;
    const int options[] = {0, 0, 0, 1};
    for (int row = 5; row <= 8; ++row) EXPECT_EQ(core.ChTable.get(row, ch), options[row - 5]) << ch << " " << row;
    EXPECT_EQ(core.ChTable.get(9, ch), 0) << "VOX keeps its default";
    EXPECT_EQ(core.ChTable.get(10, ch), 0) << "PTT ID keeps its default";
  }
  EXPECT_EQ(rx(5), -1);

  // With "TX EQU RX" ticked the transmit boxes are never read.
  grid.deleteAll();
  input.setBoxText(A::kBoxTxFirst, "abc");
  input.setChecked(A::kChkTxEquRx, true);
  input.click(A::kSetAll);
  EXPECT_EQ(input.boxText(A::kBoxTxFirst), "abc");
  for (int ch = 1; ch <= 4; ++ch) EXPECT_EQ(tx(ch), rx(ch)) << ch;
  EXPECT_EQ(rx(1), 43000000);
}

TEST_F(AutoInputTest, LockAndChannelsBeyondTheGridChangeNothingUnsafe) {
  // While the interface is locked no Set touches a channel.
  type(1, 1, "446");
  core.settings.LockState = kLockOn;
  range(1, 2);
  input.setBoxText(A::kBoxRxFirst, "430");
  input.selectOption(A::kOptToneDec);
  input.selectOption(A::kOptPowerLow);
  for (int b : {A::kSetRx, A::kSetTones, A::kSetPower}) input.click(b);
  EXPECT_EQ(rx(1), 44600000);
  EXPECT_EQ(core.ChTable.decodeTone(1), "None");
  EXPECT_EQ(core.ChTable.get(5, 1), 1);
  core.settings.LockState = kLockOff;

  // A grid of 8 channels: the run fills what exists and logs the first channel beyond it.
  core.columns.channelCount = 8;
  grid.SetChGrid();
  grid.ShowChTblGrid();
  range(1, 16);
  input.click(A::kSetRx);
  EXPECT_EQ(rx(8), 43000000 + 7 * 7500);
  EXPECT_EQ(rx(9), -1);
  EXPECT_EQ(core.log.lastTag(), "frmAutoInput->cmdAutoInput_Click");
  EXPECT_EQ(core.log.lastCode(), 9);
  const int power9 = core.ChTable.get(5, 9);
  input.click(A::kSetPower);
  EXPECT_EQ(core.ChTable.get(5, 8), 0);
  EXPECT_EQ(core.ChTable.get(5, 9), power9);
  EXPECT_EQ(core.log.reportCount(), 2);
}

TEST(AutoInputCaptions, ThreeLanguages) {
  using C = A::Caption;
  struct Case { C what; int index; const char* chs; const char* cht; const char* eng; } cases[] = {
      {C::Title, 0, "自动输入", "自動輸入", "Auto Input"},
      {C::Label, 5, "开始信道", "開始通道", "Start CH."},
      {C::Label, 11, "初始亚音", "初始亞音", "First QT/DQT"},
      {C::Frame, 3, "接收/发射亚音", "接收/發射亞音", "QT/DQT DEC/Enc"},
      {C::Frame, 11, "PTT ID类型", "PTT ID類型", "PTT ID"},
      {C::Check, 0, "发射等于接收", "發射等於接收", "TX EQU RX"},
      {C::Option, 13, "是", "是", "On"},
      {C::Option, 16, "关闭", "關閉", "Off"},
      {C::Option, 19, "两者", "兩者", "BOTH"},
      {C::SetAllButton, 0, "全部设置", "全部設置", "Set All"},
      {C::Status, 0, "正在处理,请稍侯...", "正在處理,請稍侯...", "Please Wait..."},
      {C::Frame, 10, "", "", ""},
      {C::Option, 14, "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(A::caption(c.what, c.index, 1), QString::fromUtf8(c.chs)) << c.eng;
    EXPECT_EQ(A::caption(c.what, c.index, 2), QString::fromUtf8(c.cht)) << c.eng;
    EXPECT_EQ(A::caption(c.what, c.index, 3), QString::fromUtf8(c.eng)) << c.eng;
  }
}

}  // namespace
}  // namespace zr
