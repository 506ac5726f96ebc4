// The radio simulator byte by byte: the frames it answers, the single-wire
// echo, a line pause, and the injected faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/RadioSimulator.h"

namespace zr {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kProgramBytes = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
const Bytes kEndBytes = {0x45, 0x5A, 0xA5, 0x32, 0x23, 0x45, 0xF2};

Bytes cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes memoryAt(const RadioSimulator& sim, int a, int n) {
  return Bytes(sim.memory().begin() + a, sim.memory().begin() + a + n);
}

TEST(Simulator, AnswersTheFramesOfASession) {
  RadioSimulator sim;
  sim.poke(0x0400, 0x11);
  struct Step {
    const char* what;
    Bytes sent;
    Bytes reply;
  };
  const Bytes info = memoryAt(sim, 0x03D0, 16);
  const Step steps[] = {
      {"ack before the handshake", {0x06}, {}},
      {"read before the handshake", {0x24, 0x03, 0x88, 0x03}, {}},
      {"handshake", kProgramBytes, {0x06}},
      {"handshake after a stray P", cat({0x50}, kProgramBytes), {0x06}},
      {"ack", {0x06}, {0x06}},
      {"identification read", {0x52, 0x03, 0x88, 0x03}, {0x57, 0x03, 0x88, 0x03, 0x5A, 0x24, 0x29}},
      {"alternate read", {0x24, 0x03, 0xD0, 0x10}, cat({0x29, 0x03, 0xD0, 0x10}, info)},
      {"read above 1 KiB", {0x24, 0x10, 0x00, 0x01}, {0x29, 0x10, 0x00, 0x01, 0x11}},
      {"alternate write", {0x29, 0x10, 0x01, 0x02, 0xAA, 0xBB}, {0x06}},
      {"standard write at the top", {0x57, 0x73, 0xFF, 0x01, 0xCC}, {0x06}},
      {"ordinary write into the factory area", {0x29, 0x03, 0xD4, 0x01, 0x66}, {0x06}},
      {"special write", {0x75, 0x03, 0xD3, 0x01, 0x28}, {0x06}},
      {"address field the encoding never makes", {0x24, 0x04, 0x00, 0x10}, {}},
      {"read past the end", {0x24, 0x73, 0xFF, 0x02}, {}},
      {"length 0", {0x24, 0x00, 0x00, 0x00}, {}},
      {"length 17", {0x24, 0x00, 0x00, 0x11}, {}},
      {"unknown command", {0x33}, {}},
      {"still in session", {0x06}, {0x06}},
      {"end frame", kEndBytes, {}},
      {"ack after the end frame", {0x06}, {}},
  };
  for (const Step& s : steps) EXPECT_EQ(sim.feed(s.sent), s.reply) << s.what;

  EXPECT_EQ(memoryAt(sim, 0x0401, 2), (Bytes{0xAA, 0xBB}));
  EXPECT_EQ(sim.peek(0x1FFF), 0xCC);
  EXPECT_EQ(sim.peek(0x03D4), RadioSimulator::kDefaultModelCode);  // factory byte kept
  EXPECT_EQ(sim.peek(0x03D3), 0x28);                                // special write stored
  EXPECT_EQ(sim.writeCount(0x0401), 1);
  EXPECT_EQ(sim.writeCount(0x03D4), 0);
  EXPECT_EQ(sim.writeCount(0x0400), 0);
  EXPECT_EQ(sim.endFrames(), 1);
  EXPECT_FALSE(sim.inSession());
  EXPECT_EQ(sim.requestsServed(), 11);
  EXPECT_EQ(sim.servedByCommand(0x24), 2);
  EXPECT_EQ(sim.servedByCommand(0x50), 2);
  EXPECT_THROW(sim.peek(0x2000), std::exception);
}

TEST(Simulator, LinePauseDropsAPartialFrame) {
  RadioSimulator sim;
  sim.feed(kProgramBytes);
  // A write that stops after two of its sixteen data bytes.
  EXPECT_TRUE(sim.feed(Bytes{0x29, 0x00, 0x00, 0x10, 0x01, 0x02}).empty());
  sim.lineIdle();
  EXPECT_EQ(sim.feed(kProgramBytes), (Bytes{0x06}));
  EXPECT_EQ(sim.peek(0x0000), RadioSimulator::kErasedByte);
  EXPECT_EQ(sim.writeCount(0x0000), 0);
}

TEST(Simulator, EchoModeReturnsEveryByteFirst) {
  RadioSimulator sim;
  sim.setEcho(true);
  EXPECT_EQ(sim.feed(Bytes{0x06}), (Bytes{0x06}));  // outside a session: the cable's echo only
  EXPECT_EQ(sim.feed(kProgramBytes), cat(kProgramBytes, {0x06}));
  const Bytes read = {0x24, 0x03, 0x88, 0x03};
  EXPECT_EQ(sim.feed(read), cat(read, {0x29, 0x03, 0x88, 0x03, 0x5A, 0x24, 0x29}));
  // Byte by byte, the reply follows the byte that completes the request.
  for (size_t k = 0; k + 1 < read.size(); ++k) EXPECT_EQ(sim.feed(read[k]), (Bytes{read[k]}));
  EXPECT_EQ(sim.feed(read.back()), (Bytes{0x03, 0x29, 0x03, 0x88, 0x03, 0x5A, 0x24, 0x29}));
  sim.silenceAfter(0);
  EXPECT_EQ(sim.feed(Bytes{0x06}), (Bytes{0x06}));  // a silent radio behind an echoing cable
}

TEST(Simulator, InjectedFaults) {
  RadioSimulator sim;
  sim.feed(kProgramBytes);
  const Bytes ack = {0x06};

  sim.silenceAfter(2);
  EXPECT_EQ(sim.feed(ack), ack);
  EXPECT_EQ(sim.feed(ack), ack);
  EXPECT_TRUE(sim.feed(ack).empty());
  EXPECT_TRUE(sim.feed(Bytes{0x29, 0x00, 0x00, 0x01, 0x42}).empty());
  EXPECT_EQ(sim.peek(0x0000), RadioSimulator::kErasedByte);  // a silent radio stores nothing
  sim.clearFaults();
  EXPECT_EQ(sim.feed(ack), ack);

  sim.silenceFor(2);
  EXPECT_TRUE(sim.feed(ack).empty());
  EXPECT_TRUE(sim.feed(ack).empty());
  EXPECT_EQ(sim.feed(ack), ack);

  sim.corruptNextReply();
  EXPECT_EQ(sim.feed(ack), (Bytes{0xF9}));
  EXPECT_EQ(sim.feed(ack), ack);
  sim.corruptNextReply(99);  // clamped to the last byte of the reply
  const Bytes r = sim.feed(Bytes{0x24, 0x03, 0x88, 0x03});
  EXPECT_EQ(r, (Bytes{0x29, 0x03, 0x88, 0x03, 0x5A, 0x24, static_cast<uint8_t>(~0x29)}));

  EXPECT_EQ(sim.requestsReceived(), 1 + 4 + 1 + 3 + 2 + 1);
  EXPECT_EQ(sim.requestsServed(), 1 + 2 + 1 + 1 + 2 + 1);
}

}  // namespace
}  // namespace zr
