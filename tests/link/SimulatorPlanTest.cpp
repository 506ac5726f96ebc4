// Whole read and write plans run through the script engine against the radio
// simulator (on a fake port that hands every write to the simulator): every
// frame the plan sends must be one the radio answers as the scripts expect.
#include <gtest/gtest.h>

#include <vector>

#include "link/FakeSerialLibrary.h"
#include "link/SimulatorPlanRun.h"
#include "sim/RadioSimulator.h"

namespace zr {
namespace {

constexpr int kPort = 1;

// The plan's side on a fake port that hands every write to the simulator.
struct FakeLine {
  VirtualClock clock;
  VirtualWaiter waiter{clock};
  FakeSerialLibrary io{&clock};
  RadioSimulator sim;
  test::PlanRun run{io, waiter, kPort};

  FakeLine() {
    io.recordCalls = false;
    io.port(kPort).opens = true;
    io.port(kPort).onWrite = [this](const Bytes& written) { return sim.feed(written); };
    io.sio_open(kPort);
  }
};

void fillPattern(RadioSimulator& sim, int seed) {
  for (int a = 0; a < RadioSimulator::kMemorySize; ++a) sim.poke(a, static_cast<uint8_t>((a * 13 + seed) & 0xFF));
}

struct IdentCase {
  uint8_t marker, readCmd, writeCmd;
  bool echo;
  bool alternateBlocks;  // the blocks go with 0x24/0x29
};

class SimulatorRead : public ::testing::TestWithParam<IdentCase> {};

TEST_P(SimulatorRead, WholeReadCopiesTheRadio) {
  const IdentCase c = GetParam();
  FakeLine line;
  auto& run = line.run;
  fillPattern(line.sim, 5);
  line.sim.setIdent(c.marker, c.readCmd, c.writeCmd);
  line.sim.setEcho(c.echo);

  ASSERT_TRUE(run.runList(kDirRead));
  EXPECT_EQ(run.failures, 0);
  EXPECT_EQ(run.engine.EchoMode(), c.echo ? 1 : 0);
  EXPECT_EQ(run.image.bytes(), std::vector<uint8_t>(line.sim.memory().begin(), line.sim.memory().end()));
  EXPECT_EQ(run.plan.usingAltSet(), c.alternateBlocks);
  // Two identification reads always use "R"; the 512 blocks use the chosen set.
  EXPECT_EQ(line.sim.servedByCommand(0x24), c.alternateBlocks ? 512 : 0);
  EXPECT_EQ(line.sim.servedByCommand(0x52), c.alternateBlocks ? 2 : 514);
  EXPECT_EQ(line.sim.servedByCommand(0x06), 2);
  EXPECT_EQ(line.sim.requestsServed(), 1 + 2 + 2 + 512);
}

INSTANTIATE_TEST_SUITE_P(Idents, SimulatorRead,
                         ::testing::Values(IdentCase{0x5A, 0x24, 0x29, false, true},
                                           IdentCase{0x5A, 0x24, 0x29, true, true},
                                           IdentCase{0x5A, 0x52, 0x57, false, false},
                                           IdentCase{0x00, 0x24, 0x29, true, false}));

TEST(SimulatorReadFaults, RetriesUnsupportedRadioAndSilence) {
  const AddressRanges small{0x0000, 0x00FF, 0x0000, 0x00FF};
  {
    FakeLine line;
    auto& run = line.run;
    line.sim.setIdent(0x5A, 0x12, 0x34);
    EXPECT_FALSE(run.runList(kDirRead, small));
    EXPECT_TRUE(run.unsupported);
    EXPECT_EQ(run.failures, 0);
    EXPECT_EQ(line.sim.requestsServed(), 2);  // handshake and identification, no retry
  }
  {
    // A missed handshake and a corrupted acknowledge each cost one retry.
    FakeLine line;
    auto& run = line.run;
    fillPattern(line.sim, 9);
    line.sim.silenceFor(1);
    ASSERT_TRUE(run.runList(kDirRead, small));
    EXPECT_EQ(run.failures, 1);
    EXPECT_EQ(run.engine.trace().count(), 1);
    line.sim.corruptNextReply();
    ASSERT_TRUE(run.runList(kDirRead, small));
    EXPECT_EQ(run.failures, 1);
    EXPECT_EQ(run.image.at(0x00FF), line.sim.peek(0x00FF));
  }
  {
    // A radio that goes quiet after 10 answers: 20 failures end the read; the
    // blocks read before it stay in the image.
    FakeLine line;
    auto& run = line.run;
    fillPattern(line.sim, 3);
    line.sim.silenceAfter(10);
    EXPECT_FALSE(run.runList(kDirRead, small));
    EXPECT_EQ(run.failures, test::PlanRun::kMaxFailures);
    // Answers: handshake, two identification reads, acknowledge, six blocks.
    for (int a = 0; a < 16 * 6; ++a) ASSERT_EQ(run.image.at(a), line.sim.peek(a)) << a;
    EXPECT_EQ(run.image.at(16 * 6), 0);
  }
}

struct WriteCase {
  IdentCase ident;
  uint8_t modelCode;
  uint8_t byte3D3;
  int stages;  // 0 none, 1 parameter stage, 3 the 0x0360 group
};

class SimulatorWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SimulatorWrite, WholeWriteLandsInTheRadio) {
  const WriteCase c = GetParam();
  FakeLine line;
  auto& run = line.run;
  line.sim.setIdent(c.ident.marker, c.ident.readCmd, c.ident.writeCmd);
  line.sim.setModelCode(c.modelCode);
  line.sim.poke(0x03D3, c.byte3D3);
  line.sim.setEcho(c.ident.echo);
  const auto before = line.sim.memory();
  for (int a = 0; a <= 0x1FFF; ++a) run.image.set(a, (a * 7 + 3) & 0xFF);

  ASSERT_TRUE(run.runList(kDirWrite));
  EXPECT_EQ(run.failures, 0);
  RadioInfoBlock info;
  const int bandMin = 40000000, bandMax = 48000000;
  ASSERT_TRUE(run.runDirectStages(bandMin, bandMax, info));
  EXPECT_EQ(info.RadioModelCode(), c.modelCode);

  // What the radio holds now: the image, except where the protocol says otherwise.
  std::vector<uint8_t> want(run.image.bytes());
  for (int a = 0x01A0; a <= 0x01AB; ++a) want[a] = before[a];                // only four bytes of that block go out
  for (int k = 0; k < 4; ++k) want[0x01AC + k] = run.image.at(0x01A0 + k);  // ... to 0x01AC
  want[0x037A] = 0x40, want[0x037B] = 0x00, want[0x037C] = 0x48, want[0x037D] = 0x00;  // band from the limits
  for (int a = RadioSimulator::kFactoryFirst; a <= RadioSimulator::kFactoryLast; ++a) {
    const bool group = c.stages == 3 && a >= 0x03D9 && a <= 0x03EB;
    if (!group) want[a] = before[a];  // factory data changes only through the 0x0360 group
  }
  const std::vector<uint8_t> got(line.sim.memory().begin(), line.sim.memory().end());
  for (int a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(got[a], want[a]) << std::hex << a;

  const uint8_t writeCmd = c.ident.alternateBlocks ? 0x29 : 0x57;
  EXPECT_EQ(line.sim.servedByCommand(writeCmd == 0x29 ? 0x57 : 0x29), 0);
  EXPECT_EQ(line.sim.servedByCommand(0x75), 1 + 8 + (c.stages == 3 ? 3 : 0));
  EXPECT_EQ(line.sim.writeCount(0x03F0), c.stages == 1 ? 2 : 1);
  EXPECT_EQ(line.sim.writeCount(0x0360), c.stages == 3 ? 2 : 1);
  EXPECT_EQ(line.sim.writeCount(0x0194), 2);  // script 1 and its block
  EXPECT_EQ(line.sim.servedByCommand(0x50), 4);  // two handshakes in each of scripts 1 and 2
  EXPECT_EQ(line.sim.endFrames(), 3);
  EXPECT_FALSE(line.sim.inSession());
}

INSTANTIATE_TEST_SUITE_P(Models, SimulatorWrite,
                         ::testing::Values(WriteCase{{0x5A, 0x24, 0x29, false, true}, 40, 0x00, 1},
                                           WriteCase{{0x5A, 0x52, 0x57, true, false}, 100, 0x28, 3},
                                           WriteCase{{0x5A, 0x24, 0x29, true, true}, 21, 0x28, 0},
                                           WriteCase{{0x5A, 0x24, 0x29, false, true}, 100, 0x20, 0}));

}  // namespace
}  // namespace zr
