#pragma once
// The radio's side of the programming protocol as a byte-in/byte-out state
// machine: 8 KiB of configuration memory, the PROGRAM handshake, the
// acknowledge exchange, read requests in both command sets, write and special
// write requests and the end frame. No input or output of its own: whoever
// hosts it (a test, a pseudo-terminal) feeds it the bytes of the line and
// sends back what it returns.
//
// Not thread-safe: configure it before hosting it, inspect it after the host
// has stopped.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace zr {

class RadioSimulator {
 public:
  static constexpr int kMemorySize = 0x2000;  // radio addresses 0x0000-0x1FFF
  static constexpr uint8_t kDefaultModelCode = 40;
  static constexpr uint8_t kErasedByte = 0xFF;

  // Memory erased to 0xFF, identification "Z" 0x24 0x29 (the alternate
  // command set) at 0x0388-0x038A, model code kDefaultModelCode at 0x03D4.
  RadioSimulator();

  // One byte from the line. Returns what goes back on the line: in echo mode
  // the byte itself first (the single-wire cable returns it whatever the radio
  // does), then the radio's reply when the byte completed a request.
  std::vector<uint8_t> feed(uint8_t byte);
  std::vector<uint8_t> feed(std::span<const uint8_t> bytes);
  // A pause on the line: a partly received frame is dropped, as the radio
  // does when a frame stops arriving.
  void lineIdle();

  // Memory. Addresses outside 0x0000-0x1FFF raise the index failure.
  uint8_t peek(int address) const;
  void poke(int address, uint8_t value);
  // Copies bytes into memory from address 0 (at most 8 KiB).
  void loadImage(std::span<const uint8_t> bytes);
  const std::array<uint8_t, kMemorySize>& memory() const { return memory_; }
  // Radio bytes 0x0388-0x038A: marker ("Z" when the radio names its set), read and write command.
  void setIdent(uint8_t marker, uint8_t readCmd, uint8_t writeCmd);
  void setModelCode(uint8_t code);  // radio 0x03D4

  // The radio's information block 0x03D0-0x03EF (model code, band data) is
  // factory data: ordinary writes are acknowledged but leave it as it is; the
  // special write (0x75) changes it. On by default.
  void setFactoryAreaProtected(bool on) { protectFactory_ = on; }
  bool factoryAreaProtected() const { return protectFactory_; }
  static constexpr int kFactoryFirst = 0x03D0;
  static constexpr int kFactoryLast = 0x03EF;

  void setEcho(bool on) { echo_ = on; }
  bool echo() const { return echo_; }

  // Fault injection. A silent radio neither answers nor acts on a request
  // (the cable's echo still comes back).
  void silenceAfter(int requests);  // answer this many more requests, then none; -1 = never
  void silenceFor(int requests);    // ignore the next requests, then answer again
  // Answer `after` more requests, ignore the next `count`, then answer again.
  void silenceBetween(int after, int count);
  void corruptNextReply(int position = 0);  // invert one byte (clamped to the reply) of the next reply
  // Acknowledge every write but keep the memory as it is (a radio whose
  // memory no longer takes data).
  void setIgnoreWrites(bool on) { ignoreWrites_ = on; }
  bool ignoresWrites() const { return ignoreWrites_; }
  void clearFaults();

  // Counters.
  int requestsReceived() const { return received_; }  // complete requests, answered or not
  int requestsServed() const { return served_; }      // requests answered
  int servedByCommand(uint8_t first) const { return byCommand_[first]; }  // answered, by first frame byte
  int endFrames() const { return endFrames_; }
  int junkBytes() const { return junk_; }             // bytes that started no frame
  int writeCount(int address) const;                  // times the address was stored by a write
  bool inSession() const { return session_; }
  void resetCounters();

 private:
  enum class State { Idle, Handshake, EndFrame, Header, Data };

  void startFrame(uint8_t b, std::vector<uint8_t>& out);
  void finishRequest(std::vector<uint8_t>& out);
  bool answerAllowed();
  void reply(std::vector<uint8_t> bytes, uint8_t command, std::vector<uint8_t>& out);

  std::array<uint8_t, kMemorySize> memory_{};
  std::array<int, kMemorySize> writes_{};
  std::array<int, 256> byCommand_{};
  bool echo_ = false;
  bool protectFactory_ = true;
  bool session_ = false;

  State state_ = State::Idle;
  int matched_ = 0;                 // bytes of the handshake or end frame matched so far
  std::vector<uint8_t> frame_;      // request being received
  int dataLength_ = 0;

  int silentAfter_ = -1;  // remaining answers before going silent; -1 never
  int silentFor_ = 0;
  int silenceThen_ = 0;  // requests to ignore once silentAfter_ runs out
  int corruptAt_ = -1;
  bool ignoreWrites_ = false;

  int received_ = 0;
  int served_ = 0;
  int endFrames_ = 0;
  int junk_ = 0;
};

}  // namespace zr
