// The write transfer against the radio simulator: the write preparation, the
// radio memory it leaves, the direct stages by model code and their failure.
#include <gtest/gtest.h>

#include "transfer/TransferRig.h"

namespace zr {
namespace {

using test::TransferRig;

const QString kModelBand = QStringLiteral("写入:机型和频段");
const QStringList kInfoReads = {QStringLiteral("读取:对讲机的机型和参数  0x3D0 -- 0x3DF"),
                                QStringLiteral("读取:对讲机的机型和参数  0x3E0 -- 0x3EF"),
                                QStringLiteral("读取:对讲机的机型和参数  0x3F0 -- 0x3FF")};
const QString kParams = QStringLiteral("写入:收音机的SQL和音量及对讲机的参数");
const QStringList kGroup = {QStringLiteral("写入:0x0360 -- 0x036F的数据"), QStringLiteral("写入:0x03D9 -- 0x03DF的数据"),
                            QStringLiteral("写入:0x03E0 -- 0x03EB的数据")};

struct WriteCase {
  uint8_t marker, readCmd, writeCmd;
  bool echo;
};

class WholeWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WholeWrite, RadioHoldsThePreparedImage) {
  const WriteCase c = GetParam();
  TransferRig rig;
  rig.sim.setIdent(c.marker, c.readCmd, c.writeCmd);
  rig.sim.setEcho(c.echo);
  rig.setWriteRange(0x0000, 0x03FF);
  // A channel typed into the grid: the write encodes it first.
  for (int k = 0; k < 16; ++k) rig.image().set(0x0010 + k, test::kChannel1[static_cast<size_t>(k)]);
  rig.core->files.SoftDisplay();
  rig.core->ChTable.set(kRowRx, 1, 44600000);
  rig.core->ChTable.set(kRowMark, 1, 1);

  ASSERT_TRUE(rig.transfer->cmdWrite()) << rig.core->log.lines().join('\n').toStdString();
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Succeeded);
  EXPECT_EQ(rig.transfer->ComRetry, 0);
  // 446.00000 MHz encoded as BCD 44600000, low byte first.
  EXPECT_EQ(rig.image().at(0x0012), 0x60);
  EXPECT_EQ(rig.image().at(0x0013), 0x44);
  const ByteArray& img = rig.image();
  for (int a = 0; a <= 0x03FF; ++a) {
    if (a >= 0x01A0 && a <= 0x01AF) continue;  // only four bytes go, to 0x01AC
    if (a >= RadioSimulator::kFactoryFirst && a <= RadioSimulator::kFactoryLast) continue;  // factory data
    ASSERT_EQ(rig.sim.peek(a), img.at(a)) << std::hex << a;
  }
  for (int k = 0; k < 4; ++k) EXPECT_EQ(rig.sim.peek(0x01AC + k), img.at(0x01A0 + k));
  // Model and band, and the parameter stage of model code 40.
  EXPECT_EQ(rig.sim.peek(0x037A), 0x40);
  EXPECT_EQ(rig.sim.peek(0x037C), 0x52);
  EXPECT_EQ(rig.transfer->RadioInfo.RadioModelCode(), 40);
  EXPECT_EQ(rig.sim.writeCount(0x03F6), 2);  // the block, then the parameter stage
  EXPECT_EQ(rig.sim.endFrames(), 3);
  EXPECT_EQ(rig.sim.servedByCommand(0x75), 8 + 1);  // 0x0280-0x02FF and the frozen bytes of script 1
  EXPECT_EQ(rig.engine->EchoMode(), c.echo ? 1 : 0);
  // No message: the write report (channel 1 had VOX off) waits for Details.
  EXPECT_TRUE(rig.prompts.messages.isEmpty()) << rig.prompts.messages.join('\n').toStdString();
  EXPECT_TRUE(rig.transfer->writeReportText().contains(QStringLiteral("Channel 1, VOX: Off -> On")));
  EXPECT_EQ(rig.core->log.reportCount(), 0) << rig.core->log.lines().join('\n').toStdString();
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.transfer->Communicating(), 0);
  // The bar reached 100; the status line ends with the result.
  const auto full = std::find_if(rig.states.begin(), rig.states.end(), [](auto& s) { return s.progress == 100; });
  ASSERT_NE(full, rig.states.end());
  EXPECT_EQ(full->status, QStringLiteral("100 %    Writing Now......"));
  EXPECT_EQ(rig.transfer->state().status, QStringLiteral("Write OK"));
}

INSTANTIATE_TEST_SUITE_P(Idents, WholeWrite,
                         ::testing::Values(WriteCase{0x5A, 0x24, 0x29, false}, WriteCase{0x5A, 0x24, 0x29, true},
                                           WriteCase{0x5A, 0x52, 0x57, false}, WriteCase{0x00, 0x00, 0x00, true}));

TEST(WritePreparation, ForcesTheBytesAndSettingsTheRadioExpects) {
  struct PairCase {
    int first, second, wantFirst, wantSecond;
  };
  const PairCase pairs[] = {{14, 0, 14, 14}, {0, 14, 14, 14}, {14, 5, 14, 5}, {0, 0, 0, 0}};
  for (const PairCase& p : pairs) {
    SCOPED_TRACE(p.first * 100 + p.second);
    TransferRig rig;
    rig.setWriteRange(0x0000, 0x001F);
    ByteArray& img = rig.image();
    img.set(0x0362, p.first);
    img.set(0x0363, p.second);
    img.set(0x0360, 0x55);
    img.set(0x0367, 0x00);
    for (int ch = 1; ch <= 17; ++ch)
      for (int k = 12; k <= 14; ++k) img.set(16 * ch + k, k == 13 ? 0x00 : 0xFF);
    rig.editors->settings.setPosition(QStringLiteral("cboSk1LongTime"), 3);
    rig.editors->settings.setChecked(QStringLiteral("chkBatSave"), false);

    ASSERT_TRUE(rig.transfer->cmdWrite());
    EXPECT_EQ(img.at(0x0362), p.wantFirst);
    EXPECT_EQ(img.at(0x0363), p.wantSecond);
    EXPECT_EQ(img.at(0x0360), 0x08);
    EXPECT_EQ(img.at(0x0367) & 0x01, 0x01);
    for (int ch = 1; ch <= 16; ++ch) {
      EXPECT_EQ(img.at(16 * ch + 12) & 0x67, 0) << ch;
      EXPECT_EQ(img.at(16 * ch + 13) & 0x80, 0x80) << ch;
      EXPECT_EQ(img.at(16 * ch + 14) & 0x01, 0) << ch;
    }
    EXPECT_EQ(img.at(16 * 17 + 12), 0xFF);  // channel 17 is not touched
    // Forced settings go through their own edit path: the image and the pages agree.
    const SettingsMap& map = rig.editors->settings;
    EXPECT_EQ(img.at(0x0365), 30);
    EXPECT_EQ(map.state(QStringLiteral("cboSk1LongTime"))->position, 30);
    EXPECT_TRUE(map.state(QStringLiteral("chkBatSave"))->checked);
    EXPECT_EQ(img.at(0x0135) & 0x01, 0x01);
    EXPECT_EQ(img.at(0x0367) & 0x0C, 0x0C);  // low and high battery power-off
    struct Forced {
      const char* name;
      int value;  // list position, or 1/0 for a check box
    };
    const Forced forced[] = {
        {"cboSk1LongTime", 30}, {"chkSwiLampTone", 1},    {"chkNoMicEnableVox", 1},     {"cboVoxRxForbid", 1},
        {"chkSwiChExitScan", 1}, {"chkScanStartHint", 1}, {"chkExitScanHint", 1},       {"cboSaveChNo", 0},
        {"cboLowPwrToneSort", 0}, {"chkLowBatPwrOff", 1}, {"chkHighBatPwrOff", 1},      {"cboLowBatAlarmTimer", 5},
        {"chkBatSave", 1},       {"cboPreTot", 0},        {"cboRadioVolume", 15},       {"chkAnRadioId", 0},
        {"cboPttIdPauseTime", 0}, {"chkNoRespPttIdNoPause", 0},
    };
    for (const Forced& f : forced) {
      const FieldState* st = map.state(QLatin1String(f.name));
      ASSERT_NE(st, nullptr) << f.name;
      if (f.name[0] == 'c' && f.name[1] == 'h') EXPECT_EQ(st->checked, f.value == 1) << f.name;
      else EXPECT_EQ(st->position, f.value) << f.name;
    }
    // The radio got the prepared channel record.
    for (int k = 0; k < 16; ++k) EXPECT_EQ(rig.sim.peek(0x0010 + k), img.at(0x0010 + k));
  }
}

TEST(DirectStages, FollowTheRadiosModelCode) {
  struct Case {
    int modelCode;
    int byte3D3;
    bool params;
    bool group;
  };
  const Case cases[] = {
      {40, 0x00, true, false},  {22, 0x00, true, false},   {99, 0x00, true, false},  {31, 0x00, false, false},
      {21, 0x00, false, false}, {100, 0x28, false, true},  {149, 0x2F, false, true}, {100, 0x20, false, false},
      {150, 0x28, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.modelCode * 1000 + c.byte3D3);
    TransferRig rig;
    rig.setWriteRange(0x0000, 0x000F);
    rig.sim.setModelCode(static_cast<uint8_t>(c.modelCode));
    rig.sim.poke(0x03D3, static_cast<uint8_t>(c.byte3D3));
    rig.sim.poke(0x03F0, 0xA5);
    ASSERT_TRUE(rig.transfer->cmdWrite());

    QStringList expected = {Transfer::kWriteTrace, kModelBand};
    expected += kInfoReads;
    if (c.params) expected << kParams;
    if (c.group) expected += kGroup;
    const QStringList lines = rig.engine->trace().lines();
    EXPECT_EQ(lines.mid(0, expected.size()), expected);
    EXPECT_EQ(lines.mid(expected.size()), rig.transfer->writeReport());  // then the write report
    EXPECT_EQ(rig.transfer->RadioInfo.RadioModelCode(), c.modelCode);
    EXPECT_EQ(rig.transfer->RadioInfo.bytes[32], 0xA5);
    // The parameter stage sends the radio's own block with the image's
    // volume and squelch bytes.
    EXPECT_EQ(rig.sim.writeCount(0x03F6), c.params ? 1 : 0);
    if (c.params) {
      EXPECT_EQ(rig.sim.peek(0x03F6), rig.image().at(0x03F6));
      EXPECT_EQ(rig.sim.peek(0x03F0), 0xA5);
    }
    for (int a : {0x0360, 0x03D9, 0x03E0}) EXPECT_EQ(rig.sim.writeCount(a), c.group ? 1 : 0) << a;
    if (c.group) {
      EXPECT_EQ(rig.sim.peek(0x0360), 0x08);
    }
    EXPECT_EQ(rig.sim.endFrames(), 3);
  }
}

TEST(DirectStages, AStageFailingSixteenTimesEndsTheWrite) {
  TransferRig rig;
  rig.setWriteRange(0x0000, 0x000F);
  int modelFrames = 0;
  rig.dropFrame = [&](const Bytes& f) {
    const bool modelBand = f.size() == 9 && f[1] == 0x03 && f[2] == 0x79;
    modelFrames += modelBand;
    return modelBand;
  };
  EXPECT_FALSE(rig.transfer->cmdWrite());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::StageFailed);
  EXPECT_EQ(modelFrames, 16);
  // The blocks are in; model and band are not: the radio is partly written,
  // and the cause names the stage's address.
  EXPECT_EQ(rig.prompts.messages,
            QStringList{QStringLiteral("Communication failed,please check commuication port!\n"
                                       "The radio was partly written (1 of 1 blocks, up to address 000F); write it "
                                       "again before using it.\n"
                                       "Rx：Communication failed! No receive Data! The radio stopped answering at address 0379.")});
  EXPECT_EQ(rig.sim.endFrames(), 0);
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.transfer->Communicating(), 0);
  EXPECT_FALSE(rig.io.port(TransferRig::kPort).isOpen);
  EXPECT_TRUE(rig.transfer->state().writeEnabled);
}

TEST(Transfers, AStartWhileOneRunsIsIgnored) {
  TransferRig rig;
  rig.setWriteRange(0x0000, 0x000F);
  rig.setReadRange(0x0000, 0x000F);
  bool nestedStarted = true;
  QObject::connect(rig.transfer.get(), &Transfer::stateChanged, [&] {
    if (rig.transfer->state().status == QStringLiteral("Writing Now......")) nestedStarted = rig.transfer->cmdRead();
  });
  EXPECT_TRUE(rig.transfer->cmdWrite());
  EXPECT_FALSE(nestedStarted);
  EXPECT_EQ(rig.sim.servedByCommand(0x24), 3);  // the information reads of the write, no read block
}

}  // namespace
}  // namespace zr
