// The block plan: script lists, progress values, the address field, the
// special blocks, the identification of the radio and the direct stages of a
// write with their exchange rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/BlockPlan.h"
#include "link/FakeSerialLibrary.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"

namespace zr {
namespace {

struct PlanFixture : ::testing::Test {
  ErrorLog log{QStringLiteral("test")};
  TextTable text;
  ByteArray image{0x1FFF};
  BlockPlan plan{log, text, image};

  void build(int rs, int re, int ws, int we, bool alt = true) {
    plan.setRanges({rs, re, ws, we});
    if (alt) plan.UseCmdSetAlt();
    else plan.UseCmdSetRW();
  }
};

TEST(BlockPlanAddress, FieldCharactersAndDecoding) {
  struct Case {
    int a;
    const char* text;
  };
  const Case cases[] = {{0x0000, "0000"}, {0x0388, "0388"}, {0x03FF, "03FF"}, {0x0400, "1000"},
                        {0x07FF, "13FF"}, {0x1FF0, "73F0"}, {0x1FFF, "73FF"}, {0x3FFF, "F3FF"}};
  for (const Case& c : cases) EXPECT_EQ(addressText(c.a), QString::fromLatin1(c.text)) << c.a;
  // The radio's decoding undoes the encoding over the whole memory.
  for (int a = 0; a <= 0x3FFF; ++a) {
    const auto f = addressField(a);
    ASSERT_EQ(addressFromField(f[0], f[1]), a);
  }
  EXPECT_EQ(addressFromField(0x04, 0x00), -1);
  for (int bad : {-1, 0x4000}) {
    try {
      addressField(bad);
      ADD_FAILURE() << bad;
    } catch (const RunError& e) {
      EXPECT_EQ(e.code(), kErrSubscript);
    }
  }
}

TEST(BlockPlanRounding, HalvesGoToEven) {
  struct Case {
    long long num, den;
    int want;
  };
  const Case cases[] = {{1, 2, 0}, {3, 2, 2}, {5, 2, 2}, {7, 2, 4}, {-1, 2, 0}, {-3, 2, -2},
                        {-5, 4, -1}, {7, 4, 2}, {8191, 16, 512}, {21, 16, 1}, {24, 16, 2}, {40, 16, 2}};
  for (const Case& c : cases) EXPECT_EQ(roundHalfEven(c.num, c.den), c.want) << c.num << "/" << c.den;
}

TEST_F(PlanFixture, DefaultRangeReadList) {
  build(0x0000, 0x1FFF, 0x0000, 0x1FFF);
  ASSERT_TRUE(plan.complete(kDirRead));
  ASSERT_EQ(plan.ComCodeNum(kDirRead), 516);
  EXPECT_EQ(plan.script(kDirRead, 1).ComCode, QStringLiteral("TX50524F4752414DRX06TX52038803RXVA038803VAVAVAEN"));
  EXPECT_EQ(plan.script(kDirRead, 2).ComCode, QStringLiteral("TX52038509RXVA038509VAVAVAVAVAVAVAVAVAEN"));
  EXPECT_EQ(plan.script(kDirRead, 3).ComCode, QStringLiteral("TX06RX06EN"));
  EXPECT_EQ(plan.script(kDirRead, 516).ComCode, QStringLiteral("TX06RX06EN"));
  const int percents[][2] = {{1, 0}, {2, 0}, {3, 3}, {4, 4}, {515, 97}, {516, 100}};
  for (const auto& p : percents) EXPECT_EQ(plan.script(kDirRead, p[0]).ComPercent, p[1]) << p[0];
  for (int i : {1, 2, 3, 516}) EXPECT_EQ(plan.script(kDirRead, i).ComCount, 0) << i;

  const QString sixteen = QStringLiteral("VA").repeated(16);
  EXPECT_EQ(plan.script(kDirRead, 4).ComCode, QStringLiteral("TX24000010RX29000010") + sixteen + QStringLiteral("EN"));
  // Block 0x0360 as the radio sees it on the wire.
  const ScriptEntry& b360 = plan.script(kDirRead, 4 + 0x36);
  EXPECT_EQ(b360.ComAddr, 0x0360);
  EXPECT_EQ(b360.ComCode, QStringLiteral("TX24036010RX29036010") + sixteen + QStringLiteral("EN"));
  int previous = 0, expectAddr = 0;
  for (int i = 4; i <= 515; ++i) {
    const ScriptEntry& s = plan.script(kDirRead, i);
    EXPECT_EQ(s.ComAddr, expectAddr);
    EXPECT_EQ(s.ComCount, 16);
    EXPECT_GE(s.ComPercent, previous);
    previous = s.ComPercent;
    expectAddr += 16;
  }
  EXPECT_EQ(plan.script(kDirRead, 515).ComCode.mid(2, 8), QStringLiteral("2473F010"));
}

TEST_F(PlanFixture, RangesGiveTheirBlocks) {
  struct Case {
    int start, end;
    int count;           // scripts in the list
    int lastCount;       // data bytes of the last block (0 when none)
    int lastPercent;     // progress of the last block
    const char* field;   // address and length characters of the first block
  };
  const Case cases[] = {
      {0x0000, 0x0015, 6, 6, 98, "000010"},   // N = 1: the second block caps at 98
      {0x0000, 0x001F, 6, 16, 98, "000010"},  // N = 2: 144 % and 191 % before the cap
      {0x0388, 0x0397, 5, 16, 98, "038810"},  // N = 1: one block is 285 % before the cap
      {0x0400, 0x040F, 5, 16, 98, "100010"},
      {0x1FF0, 0x1FFF, 5, 16, 98, "73F010"},
      {0x0100, 0x0100, 5, 1, 98, "010001"},
      {0x0100, 0x00FF, 4, 0, 0, nullptr},     // start above end: no block
      {0x0000, 0xFFFF, 4, 0, 0, nullptr},     // FFFF in a box is -1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.start << "-" << c.end);
    build(c.start, c.end, c.start, c.end);
    for (int dir : {kDirRead, kDirWrite}) {
      ASSERT_TRUE(plan.complete(dir));
      ASSERT_EQ(plan.ComCodeNum(dir), c.count);
      EXPECT_EQ(plan.script(dir, c.count).ComCode, QStringLiteral("TX06RX06EN"));
      EXPECT_EQ(plan.script(dir, c.count).ComPercent, 100);
    }
    if (!c.field) continue;
    EXPECT_EQ(plan.script(kDirRead, 4).ComCode.mid(4, 6), QString::fromLatin1(c.field));
    const ScriptEntry& last = plan.script(kDirRead, c.count - 1);
    EXPECT_EQ(last.ComCount, c.lastCount);
    EXPECT_EQ(last.ComPercent, c.lastPercent);
    EXPECT_EQ(last.ComCode.count(QStringLiteral("VA")), c.lastCount);
    EXPECT_EQ(last.ComCode.mid(8, 2).toInt(nullptr, 16), c.lastCount);
  }
}

TEST_F(PlanFixture, WriteListSpecialBlocksAndFrozenBytes) {
  for (int a = 0x0194; a <= 0x019E; ++a) image.set(a, a - 0x0194 + 0xA0);
  build(0x0000, 0x1FFF, 0x0000, 0x1FFF);
  ASSERT_EQ(plan.ComCodeNum(kDirWrite), 516);
  EXPECT_EQ(plan.script(kDirWrite, 1).ComCode,
            QStringLiteral("TX50524F4752414DRX06TX50524F4752414DRX06TX52038803RXVA038803VAVAVA"
                           "TX7501940BA0A1A2A3A4A5A6A7A8A9AARX06EN"));
  EXPECT_EQ(plan.script(kDirWrite, 2).ComCode,
            QStringLiteral("TX50524F4752414DRX06TX50524F4752414DRX06TX52038509RXVA038509VAVAVAVAVAVAVAVAVAEN"));

  const QString sixteen = QStringLiteral("VA").repeated(16);
  for (int i = 4; i <= 515; ++i) {
    const ScriptEntry& s = plan.script(kDirWrite, i);
    const int a = s.ComAddr;
    ASSERT_EQ(s.ComCount, 16);
    const QString field = addressText(a) + QStringLiteral("10");
    if (a >= 0x0280 && a <= 0x02FF)
      EXPECT_EQ(s.ComCode, QStringLiteral("TX75") + field + sixteen + QStringLiteral("RX06EN"));
    else if (a == 0x01A0)
      EXPECT_EQ(s.ComCode, QStringLiteral("TX2901AC04VAVAVAVARX06EN"));
    else
      EXPECT_EQ(s.ComCode, QStringLiteral("TX29") + field + sixteen + QStringLiteral("RX06EN"));
  }
  int special = 0;
  for (const ScriptEntry& s : plan.scripts(kDirWrite)) special += s.ComCode.contains(QStringLiteral("TX75"));
  EXPECT_EQ(special, 1 + 8);  // script 1 and the blocks 0x0280-0x02F0

  // The frozen bytes follow the image only through a rebuild.
  image.set(0x0194, 0x11);
  EXPECT_TRUE(plan.script(kDirWrite, 1).ComCode.contains(QStringLiteral("0BA0A1")));
  plan.UseCmdSetRW();
  EXPECT_TRUE(plan.script(kDirWrite, 1).ComCode.contains(QStringLiteral("0B11A1")));
  EXPECT_EQ(plan.script(kDirWrite, 4).ComCode.left(4), QStringLiteral("TX57"));
  EXPECT_EQ(plan.script(kDirRead, 4).ComCode.left(4), QStringLiteral("TX52"));
  EXPECT_EQ(plan.script(kDirRead, 4).ComCode.mid(10, 4), QStringLiteral("RX57"));
}

TEST_F(PlanFixture, ShortBlockInsideTheSpecialRangeStartsWhereTheBlockDoes) {
  // A range starting inside 0x01A0-0x01AF still sends four bytes to 0x01AC,
  // the first four of its own block.
  build(0x01A5, 0x01C4, 0x01A5, 0x01C4);
  const ScriptEntry& s = plan.script(kDirWrite, 4);
  EXPECT_EQ(s.ComAddr, 0x01A5);
  EXPECT_EQ(s.ComCount, 16);
  EXPECT_EQ(s.ComCode, QStringLiteral("TX2901AC04VAVAVAVARX06EN"));
  EXPECT_EQ(plan.script(kDirWrite, 5).ComCode.left(10), QStringLiteral("TX2901B510"));

  // A range ending two bytes into that block: the script still sends four
  // bytes, and all four come from the image.
  build(0x0190, 0x01A1, 0x0190, 0x01A1);
  const ScriptEntry& cut = plan.script(kDirWrite, 5);
  EXPECT_EQ(cut.ComAddr, 0x01A0);
  EXPECT_EQ(cut.ComCount, 4);
  EXPECT_EQ(cut.ComCode.count(QStringLiteral("VA")), 4);
  EXPECT_EQ(plan.script(kDirRead, 5).ComCount, 2);
}

TEST_F(PlanFixture, UnbuildableListsAreLoggedAndMarked) {
  // More blocks than the 520 slots hold: the read list stops at 520, the
  // write list is still built.
  build(0x0000, 0x2100, 0x0000, 0x1FFF);
  EXPECT_FALSE(plan.complete(kDirRead));
  EXPECT_EQ(plan.ComCodeNum(kDirRead), BlockPlan::kMaxScripts);
  EXPECT_TRUE(plan.complete(kDirWrite));
  EXPECT_EQ(plan.ComCodeNum(kDirWrite), 516);
  EXPECT_EQ(log.lastTag(), QStringLiteral("modCommun->InitProtocol"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);

  // A start below 0 cannot be put in an address field.
  const int reports = log.reportCount();
  build(0x0000, 0x0010, -16, 0x0010);
  EXPECT_TRUE(plan.complete(kDirRead));
  EXPECT_FALSE(plan.complete(kDirWrite));
  EXPECT_EQ(plan.ComCodeNum(kDirWrite), 3);
  EXPECT_EQ(log.reportCount(), reports + 1);

  // An image too short for the frozen bytes of write script 1.
  ByteArray shortImage(0x0100);
  BlockPlan p2(log, text, shortImage);
  p2.setRanges({0, 0x00FF, 0, 0x00FF});
  p2.UseCmdSetAlt();
  EXPECT_TRUE(p2.complete(kDirRead));
  EXPECT_FALSE(p2.complete(kDirWrite));
  EXPECT_EQ(p2.ComCodeNum(kDirWrite), 0);
  EXPECT_EQ(log.lastCode(), kErrSubscript);

  EXPECT_THROW(plan.script(kDirRead, 0), RunError);
  EXPECT_THROW(plan.script(kDirRead, plan.ComCodeNum(kDirRead) + 1), RunError);
  EXPECT_THROW(plan.ComCodeNum(3), RunError);
}

TEST_F(PlanFixture, IdentificationOutcomes) {
  using O = Identification::Outcome;
  struct Case {
    bool startAlt;
    int step;
    std::vector<uint8_t> captured;
    O want;
    bool altAfter;
  };
  const Case cases[] = {
      {true, 1, {0x57, 0x5A, 0x24, 0x29}, O::KeepSet, true},
      {true, 1, {0x57, 0x5A, 0x52, 0x57}, O::StandardSet, false},
      {true, 1, {0x57, 0x00, 0x24, 0x29}, O::StandardSet, false},  // no "Z": an older radio
      {true, 1, {0x57, 0x5A, 0x12, 0x34}, O::Unsupported, true},
      {false, 1, {0x57, 0x5A, 0x24, 0x29}, O::Unsupported, false},  // alternate radio, standard set in use
      {false, 1, {0x57, 0x5A, 0x52, 0x57}, O::StandardSet, false},
      {true, 2, {0x57, 0x5A, 0x12, 0x34}, O::None, true},          // only script 1 identifies
      {true, 1, {0x57, 0x5A, 0x12}, O::None, true},                // three bytes: not the reply
      {true, 1, std::vector<uint8_t>(10, 0x5A), O::None, true},    // the 9-byte read
  };
  build(0x0000, 0x001F, 0x0000, 0x001F);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    if (c.startAlt) plan.UseCmdSetAlt();
    else plan.UseCmdSetRW();
    const Identification id = plan.replyHook(c.step, c.captured);
    EXPECT_EQ(id.outcome, c.want);
    EXPECT_EQ(plan.usingAltSet(), c.altAfter);
    // The lists follow the set in use.
    EXPECT_EQ(plan.script(kDirRead, 4).ComCode.left(4), c.altAfter ? QStringLiteral("TX24") : QStringLiteral("TX52"));
    if (c.want == O::Unsupported) {
      EXPECT_EQ(id.message, QStringLiteral("This software Can't support this radio!Please use special radio software or contact with dealers!"));
      EXPECT_EQ(id.title, QStringLiteral("Notice"));
    } else {
      EXPECT_TRUE(id.message.isEmpty());
    }
  }
}

TEST_F(PlanFixture, ModelBandAndInformationFrames) {
  build(0, 0x1FFF, 0, 0x1FFF);
  image.set(0x0379, 0x0C);
  const DirectStage mb = plan.modelBandStage(image, 40000000, 52000000);
  EXPECT_EQ(mb.frame, (std::vector<uint8_t>{0x29, 0x03, 0x79, 0x05, 0x0C, 0x40, 0x00, 0x52, 0x00}));
  EXPECT_EQ(mb.answerLength, 1);
  EXPECT_EQ(mb.expectedAnswer, 0x06);
  EXPECT_EQ(mb.waitMs, 5);
  EXPECT_EQ(mb.trace, QStringLiteral("写入:机型和频段"));
  EXPECT_EQ(plan.modelBandStage(image, 13600000, 17405000).frame,
            (std::vector<uint8_t>{0x29, 0x03, 0x79, 0x05, 0x0C, 0x13, 0x60, 0x17, 0x40}));
  EXPECT_THROW(plan.modelBandStage(image, 100000000, 0), RunError);
  EXPECT_THROW(plan.modelBandStage(image, -1, 0), RunError);

  const uint8_t lows[] = {0xD0, 0xE0, 0xF0};
  for (int k = 0; k < 3; ++k) {
    const DirectStage s = plan.infoStage(k);
    EXPECT_EQ(s.frame, (std::vector<uint8_t>{0x24, 0x03, lows[k], 0x10}));
    EXPECT_EQ(s.answerLength, 20);
    EXPECT_EQ(s.expectedAnswer, 0x29);
    EXPECT_EQ(s.infoOffset, 16 * k);
  }
  EXPECT_EQ(plan.infoStage(2).trace, QStringLiteral("读取:对讲机的机型和参数  0x3F0 -- 0x3FF"));
  EXPECT_THROW(plan.infoStage(3), RunError);

  RadioInfoBlock info;
  std::vector<uint8_t> answer = {0x29, 0x03, 0xE0, 0x10};
  for (int i = 0; i < 16; ++i) answer.push_back(static_cast<uint8_t>(0x80 + i));
  BlockPlan::takeInfo(plan.infoStage(1), answer, info);
  EXPECT_EQ(info.bytes[16], 0x80);
  EXPECT_EQ(info.bytes[31], 0x8F);
  EXPECT_EQ(info.bytes[15], 0x00);
  answer.pop_back();
  EXPECT_THROW(BlockPlan::takeInfo(plan.infoStage(1), answer, info), RunError);
}

TEST_F(PlanFixture, StagesFollowingTheInformationByModelCode) {
  build(0, 0x1FFF, 0, 0x1FFF);
  for (int a = 0x0360; a <= 0x03FF; ++a) image.set(a, a & 0xFF);
  struct Case {
    int code;
    int d3;
    int stages;  // 0 none, 1 parameter stage, 3 the 0x0360 group
  };
  const Case cases[] = {{21, 0x28, 0}, {22, 0, 1},     {31, 0, 0},      {40, 0, 1},      {99, 0, 1},
                        {100, 0x28, 3}, {100, 0x20, 0}, {149, 0x2F, 3}, {150, 0x28, 0}, {0, 0x28, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    RadioInfoBlock info;
    info.bytes.fill(0x00);
    info.bytes[3] = static_cast<uint8_t>(c.d3);
    info.bytes[4] = static_cast<uint8_t>(c.code);
    const auto stages = plan.followingStages(image, info);
    ASSERT_EQ(static_cast<int>(stages.size()), c.stages);
    if (c.stages == 3) {
      EXPECT_EQ(stages[0].frame.size(), 4u + 16u);
      EXPECT_EQ(std::vector<uint8_t>(stages[0].frame.begin(), stages[0].frame.begin() + 5),
                (std::vector<uint8_t>{0x75, 0x03, 0x60, 0x10, 0x60}));
      EXPECT_EQ(std::vector<uint8_t>(stages[1].frame.begin(), stages[1].frame.begin() + 5),
                (std::vector<uint8_t>{0x75, 0x03, 0xD9, 0x07, 0xD9}));
      EXPECT_EQ(stages[1].frame.size(), 4u + 7u);
      EXPECT_EQ(stages[2].frame.back(), 0xEB);
      EXPECT_EQ(stages[2].frame.size(), 4u + 12u);
      for (const auto& s : stages) EXPECT_EQ(s.waitMs, 2);
      EXPECT_EQ(stages[1].trace, QStringLiteral("写入:0x03D9 -- 0x03DF的数据"));
    }
  }

  // The parameter block is the radio's own, with the volume and squelch
  // bytes and two option bits from the image.
  RadioInfoBlock info;
  info.bytes[4] = 40;
  for (int i = 32; i < 48; ++i) info.bytes[static_cast<size_t>(i)] = 0x5E;  // bit 7 off, bit 2 on
  image.set(0x03F6, 0x11);
  image.set(0x03F7, 0x22);
  image.set(0x03FC, 0x80);  // bit 7 on
  image.set(0x03FE, 0x00);  // bit 2 off
  const auto stages = plan.followingStages(image, info);
  ASSERT_EQ(stages.size(), 1u);
  std::vector<uint8_t> want = {0x29, 0x03, 0xF0, 0x10};
  for (int i = 0; i < 16; ++i) want.push_back(0x5E);
  want[4 + 6] = 0x11;
  want[4 + 7] = 0x22;
  want[4 + 12] = 0xDE;
  want[4 + 14] = 0x5A;
  EXPECT_EQ(stages[0].frame, want);
  EXPECT_EQ(stages[0].trace, QStringLiteral("写入:收音机的SQL和音量及对讲机的参数"));
}

// The exchange rule of the direct stages on a fake port.
struct StageFixture : PlanFixture {
  FakeSerialLibrary io;
  std::vector<int> waits;
  std::function<void(int)> delay = [this](int ms) { waits.push_back(ms); };

  void SetUp() override {
    io.port(1).opens = true;
    io.sio_open(1);
    build(0, 0x1FFF, 0, 0x1FFF);
  }
};

TEST_F(StageFixture, AnswersDecideTheAttempts) {
  const DirectStage info = plan.infoStage(0);
  std::vector<uint8_t> good = {0x29, 0x03, 0xD0, 0x10};
  for (int i = 0; i < 16; ++i) good.push_back(static_cast<uint8_t>(i));
  struct Case {
    std::vector<std::vector<uint8_t>> replies;
    bool ok;
    int attempts;
    int fiftyWaits;
  };
  std::vector<uint8_t> wrong = good;
  wrong[0] = 0x57;
  const std::vector<uint8_t> shortReply(good.begin(), good.begin() + 19);
  const Case cases[] = {
      {{good}, true, 1, 0},
      {{shortReply, good}, true, 2, 1},
      {{{}, wrong, good}, true, 3, 1},
      {std::vector<std::vector<uint8_t>>(16, wrong), false, 16, 0},
      {std::vector<std::vector<uint8_t>>(16, std::vector<uint8_t>{}), false, 16, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    io.port(1).replies.assign(c.replies.begin(), c.replies.end());
    io.port(1).writes.clear();
    waits.clear();
    const StageResult r = BlockPlan::runDirectStage(io, 1, delay, info, false);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.attempts, c.attempts);
    EXPECT_EQ(static_cast<int>(io.port(1).writes.size()), c.attempts);
    for (const auto& w : io.port(1).writes) EXPECT_EQ(w, info.frame);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), 50), c.fiftyWaits);
    ASSERT_GE(waits.size(), 2u);
    EXPECT_EQ(waits[0], 5);
    EXPECT_EQ(waits[1], 5);
    if (c.ok) {
      EXPECT_EQ(r.answer, good);
    }
  }
}

TEST_F(StageFixture, EchoedFrameComesBeforeTheAnswer) {
  const DirectStage mb = plan.modelBandStage(image, 40000000, 48000000);
  io.port(1).echo = true;
  io.port(1).replies = {{0x06}};
  StageResult r = BlockPlan::runDirectStage(io, 1, delay, mb, true);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.answer, (std::vector<uint8_t>{0x06}));
  // Without echo mode the echoed command byte is taken for the answer.
  io.port(1).replies = std::deque<Bytes>(16, Bytes{0x06});
  r = BlockPlan::runDirectStage(io, 1, delay, mb, false);
  EXPECT_FALSE(r.ok);
}

TEST_F(StageFixture, EndFrameGoesOutThreeTimesUnanswered) {
  BlockPlan::sendEndFrame(io, 1, delay);
  const auto& writes = io.port(1).writes;
  ASSERT_EQ(writes.size(), 3u);
  for (const auto& w : writes) EXPECT_EQ(w, (Bytes{0x45, 0x5A, 0xA5, 0x32, 0x23, 0x45, 0xF2}));
  EXPECT_EQ(waits, (std::vector<int>{2, 5, 2, 5, 2, 5, 1}));
  EXPECT_EQ(io.port(1).flushes, 3);
}

}  // namespace
}  // namespace zr
