#include "sim/RadioSimulator.h"

#include <algorithm>

#include "base/RunError.h"

namespace zr {

namespace {

// The radio's own view of the protocol, written down independently of the
// program's block plan so that the two check each other.
constexpr std::array<uint8_t, 7> kProgram = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};  // "PROGRAM"
constexpr std::array<uint8_t, 7> kEnd = {0x45, 0x5A, 0xA5, 0x32, 0x23, 0x45, 0xF2};
constexpr uint8_t kAck = 0x06;
constexpr int kHeaderSize = 4;  // command, address (2), length
constexpr int kMaxLength = 16;
constexpr int kIdentAddr = 0x0388;
constexpr int kModelCodeAddr = 0x03D4;

// Read commands and the command byte their answer starts with.
bool isRead(uint8_t c) { return c == 0x52 || c == 0x24; }
uint8_t answerCommand(uint8_t readCmd) { return readCmd == 0x52 ? 0x57 : 0x29; }
constexpr uint8_t kSpecialWrite = 0x75;
bool isWrite(uint8_t c) { return c == 0x57 || c == 0x29 || c == kSpecialWrite; }

// The radio's address field: upper nibble of the high byte counts 1 KiB
// pages, its lower nibble (0..3) the 256-byte page inside.
int decodeAddress(uint8_t high, uint8_t low) {
  if ((high & 0x0F) > 3) return -1;
  return (high >> 4) * 1024 + (high & 0x0F) * 256 + low;
}

}  // namespace

RadioSimulator::RadioSimulator() {
  memory_.fill(kErasedByte);
  setIdent(0x5A, 0x24, 0x29);
  setModelCode(kDefaultModelCode);
}

uint8_t RadioSimulator::peek(int address) const {
  if (address < 0 || address >= kMemorySize) throwSubscript("radio memory", address, 0, kMemorySize - 1);
  return memory_[static_cast<size_t>(address)];
}

void RadioSimulator::poke(int address, uint8_t value) {
  if (address < 0 || address >= kMemorySize) throwSubscript("radio memory", address, 0, kMemorySize - 1);
  memory_[static_cast<size_t>(address)] = value;
}

void RadioSimulator::loadImage(std::span<const uint8_t> bytes) {
  const size_t n = std::min(bytes.size(), memory_.size());
  std::copy_n(bytes.begin(), n, memory_.begin());
}

void RadioSimulator::setIdent(uint8_t marker, uint8_t readCmd, uint8_t writeCmd) {
  poke(kIdentAddr, marker);
  poke(kIdentAddr + 1, readCmd);
  poke(kIdentAddr + 2, writeCmd);
}

void RadioSimulator::setModelCode(uint8_t code) { poke(kModelCodeAddr, code); }

int RadioSimulator::writeCount(int address) const {
  if (address < 0 || address >= kMemorySize) throwSubscript("radio memory", address, 0, kMemorySize - 1);
  return writes_[static_cast<size_t>(address)];
}

void RadioSimulator::silenceAfter(int requests) { silentAfter_ = requests < 0 ? -1 : requests; }
void RadioSimulator::silenceFor(int requests) { silentFor_ = std::max(0, requests); }
void RadioSimulator::silenceBetween(int after, int count) {
  silentAfter_ = std::max(0, after);
  silenceThen_ = std::max(0, count);
}
void RadioSimulator::corruptNextReply(int position) { corruptAt_ = std::max(0, position); }

void RadioSimulator::clearFaults() {
  ignoreWrites_ = false;
  silenceThen_ = 0;
  silentAfter_ = -1;
  silentFor_ = 0;
  corruptAt_ = -1;
}

void RadioSimulator::resetCounters() {
  writes_.fill(0);
  byCommand_.fill(0);
  received_ = served_ = endFrames_ = junk_ = 0;
}

void RadioSimulator::lineIdle() {
  state_ = State::Idle;
  matched_ = 0;
  frame_.clear();
}

std::vector<uint8_t> RadioSimulator::feed(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  for (uint8_t b : bytes) {
    const auto part = feed(b);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

std::vector<uint8_t> RadioSimulator::feed(uint8_t b) {
  std::vector<uint8_t> out;
  if (echo_) out.push_back(b);
  switch (state_) {
    case State::Idle:
      startFrame(b, out);
      break;
    case State::Handshake:
      if (b != kProgram[static_cast<size_t>(matched_)]) {
        lineIdle();
        startFrame(b, out);
      } else if (++matched_ == static_cast<int>(kProgram.size())) {
        lineIdle();
        ++received_;
        if (answerAllowed()) {
          // The radio enters (or stays in) programming mode.
          session_ = true;
          reply({kAck}, kProgram[0], out);
        }
      }
      break;
    case State::EndFrame:
      if (b != kEnd[static_cast<size_t>(matched_)]) {
        lineIdle();
        startFrame(b, out);
      } else if (++matched_ == static_cast<int>(kEnd.size())) {
        // Programming ends; the radio restarts and says nothing.
        lineIdle();
        ++endFrames_;
        session_ = false;
      }
      break;
    case State::Header:
      frame_.push_back(b);
      if (static_cast<int>(frame_.size()) == kHeaderSize) {
        dataLength_ = frame_[3];
        if (dataLength_ < 1 || dataLength_ > kMaxLength) {
          // Not a frame the radio knows: it waits for the next one.
          ++received_;
          lineIdle();
        } else if (isRead(frame_[0])) {
          finishRequest(out);
        } else {
          state_ = State::Data;
        }
      }
      break;
    case State::Data:
      frame_.push_back(b);
      if (static_cast<int>(frame_.size()) == kHeaderSize + dataLength_) finishRequest(out);
      break;
  }
  return out;
}

void RadioSimulator::startFrame(uint8_t b, std::vector<uint8_t>& out) {
  if (b == kProgram[0]) {
    state_ = State::Handshake;
    matched_ = 1;
    return;
  }
  // The end frame is heard in and out of programming mode: the program sends
  // it three times in a row.
  if (b == kEnd[0]) {
    state_ = State::EndFrame;
    matched_ = 1;
    return;
  }
  if (!session_) {
    // Outside programming mode nothing else is heard.
    ++junk_;
    return;
  }
  if (b == kAck) {
    ++received_;
    if (answerAllowed()) reply({kAck}, kAck, out);
  } else if (isRead(b) || isWrite(b)) {
    frame_.assign(1, b);
    state_ = State::Header;
  } else {
    ++junk_;
  }
}

void RadioSimulator::finishRequest(std::vector<uint8_t>& out) {
  const std::vector<uint8_t> frame = std::move(frame_);
  lineIdle();
  ++received_;
  const int address = decodeAddress(frame[1], frame[2]);
  const int length = frame[3];
  // A request outside the memory is not answered.
  if (address < 0 || address + length > kMemorySize) return;
  if (!answerAllowed()) return;
  if (isRead(frame[0])) {
    const auto first = memory_.begin() + address;
    std::vector<uint8_t> answer = {answerCommand(frame[0]), frame[1], frame[2], frame[3]};
    answer.insert(answer.end(), first, first + length);
    reply(std::move(answer), frame[0], out);
  } else {
    const bool special = frame[0] == kSpecialWrite;
    for (int k = 0; k < length; ++k) {
      const int a = address + k;
      if (ignoreWrites_) break;
      if (!special && protectFactory_ && a >= kFactoryFirst && a <= kFactoryLast) continue;
      memory_[static_cast<size_t>(a)] = frame[static_cast<size_t>(kHeaderSize + k)];
      ++writes_[static_cast<size_t>(a)];
    }
    reply({kAck}, frame[0], out);
  }
}

bool RadioSimulator::answerAllowed() {
  if (silentAfter_ == 0) {
    if (silenceThen_ <= 0) return false;
    // The silence of --fail-after N --fail-for K ends after K requests.
    silentFor_ = silenceThen_;
    silenceThen_ = 0;
    silentAfter_ = -1;
  }
  if (silentFor_ > 0) {
    --silentFor_;
    return false;
  }
  if (silentAfter_ > 0) --silentAfter_;
  return true;
}

void RadioSimulator::reply(std::vector<uint8_t> bytes, uint8_t command, std::vector<uint8_t>& out) {
  if (corruptAt_ >= 0 && !bytes.empty()) {
    const size_t at = std::min(static_cast<size_t>(corruptAt_), bytes.size() - 1);
    bytes[at] = static_cast<uint8_t>(~bytes[at]);
    corruptAt_ = -1;
  }
  ++served_;
  ++byCommand_[command];
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace zr
