#pragma once
// The block plan of a read and a write: the radio's frames, its two command
// sets, the script lists (one per direction) that a transfer runs through the
// script engine, the identification of the radio by the first script of a
// transfer, and the fixed frames a write sends itself after its scripted part.
//
// Everything here is data built from the memory image; nothing talks to a port
// except `runDirectStage` and `sendEndFrame`, which go through the serial
// layer's interface.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "data/ByteArray.h"
#include "link/LinkFailure.h"

namespace zr {

class ErrorLog;
class TextTable;
class SerialLibrary;

// Directions of the two script lists.
enum PlanDirection : int { kDirRead = 1, kDirWrite = 2 };

// Command bytes of the two sets. The alternate set is what every transfer
// starts with; the standard set ("R"/"W") is what older radios speak.
constexpr uint8_t kAltReadCmd = 0x24;
constexpr uint8_t kAltWriteCmd = 0x29;
constexpr uint8_t kStdReadCmd = 0x52;   // "R"
constexpr uint8_t kStdWriteCmd = 0x57;  // "W"
constexpr uint8_t kSpecialWriteCmd = 0x75;
constexpr uint8_t kAck = 0x06;
// The identification read always uses "R", whatever the set in use.
constexpr uint8_t kIdentReadCmd = kStdReadCmd;
constexpr uint8_t kIdentMarker = 0x5A;  // "Z" at radio 0x0388: the radio names its set
constexpr int kIdentAddr = 0x0388;
constexpr std::array<uint8_t, 7> kHandshake = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};  // "PROGRAM"
constexpr std::array<uint8_t, 7> kEndFrame = {0x45, 0x5A, 0xA5, 0x32, 0x23, 0x45, 0xF2};

// Radio memory the information reads cover (0x03D0-0x03FF), and the place of
// the model code in it (radio 0x03D4).
constexpr int kInfoBlockAddr = 0x03D0;
constexpr int kInfoBlockSize = 48;
constexpr int kModelCodeAddr = 0x03D4;

// ComRetry value that marks an unsupported radio: the transfer ends at once.
constexpr int kUnsupportedRetry = 255;
constexpr int kMaxBlockBytes = 16;
// Highest address the two-byte address field can carry (high byte 0xF3, low 0xFF).
constexpr int kMaxFieldAddr = 0x3FFF;

// The two-byte address field of image address `a` (0 .. kMaxFieldAddr): the
// high byte holds a div 1024 in its upper nibble and (a mod 1024) div 256 in
// its lower one, so from 0x0400 on it is not the plain big-endian address.
// Out of range raises the index failure.
std::array<uint8_t, 2> addressField(int a);
// The same field as the four hex characters of a script text ("73F0").
QString addressText(int a);
// The image address an address field stands for; -1 when the field is not one
// the encoding produces (lower nibble of the high byte above 3).
int addressFromField(uint8_t high, uint8_t low);

// Integer nearest to num / den, halves to the even neighbour (den > 0).
int roundHalfEven(long long num, long long den);

// One script of a list.
struct ScriptEntry {
  QString ComCode;     // script text
  int ComAddr = 0;     // image address of the first data byte (data blocks)
  int ComCount = 0;    // data bytes carried (data blocks; 0 for fixed scripts)
  int ComPercent = 0;  // progress shown once the script succeeded
};

// Address ranges of the two directions, as signed 16-bit values (a box holding
// FFFF means -1).
struct AddressRanges {
  int ReadStartAddr = 0x0000;
  int ReadEndAddr = 0x1FFF;
  int WriteStartAddr = 0x0000;
  int WriteEndAddr = 0x1FFF;
};

// What the reply hook decided after a fully matched reply.
struct Identification {
  enum class Outcome {
    None,          // not the identification reply: nothing to do
    KeepSet,       // the radio speaks the set in use
    StandardSet,   // switched to the standard set; both lists were rebuilt
    Unsupported,   // show `message` (exclamation icon, title `title`), set
                   // ScriptFailed to -1 and ComRetry to kUnsupportedRetry
  };
  Outcome outcome = Outcome::None;
  QString title;    // text entry 70
  QString message;  // text entry 69
};

// The radio's bytes 0x03D0-0x03FF as the three information reads return them.
struct RadioInfoBlock {
  std::array<uint8_t, kInfoBlockSize> bytes{};
  int RadioModelCode() const { return bytes[4]; }  // radio 0x03D4
};
constexpr int kModelFlagsAddr = 0x03D3;  // bits 3-5 tell whether a model takes the special blocks

// Whether a write sends this radio the special blocks 0x0360, 0x03D9 and
// 0x03E0 after its scripted ones: models 100 to 149 whose byte 0x03D3 has
// bits 3-5 set to 101. The radio keeps its 0x03D0-0x03EF (the Radio ID
// among them) against ordinary writes, so only these models take a new ID.
bool takesSpecialBlocks(int modelCode, uint8_t modelFlags);

// One frame a write sends itself after its scripted blocks.
struct DirectStage {
  QString trace;               // line for the communication data list
  std::vector<uint8_t> frame;  // bytes sent
  int answerLength = 1;        // bytes of the radio's answer (without an echo)
  uint8_t expectedAnswer = kAck;  // first answer byte: 0x06, or WriteCmd for reads
  int waitMs = 5;              // each of the two waits before the stage
  int infoOffset = -1;         // information reads: where the 16 data bytes go
};

struct StageResult {
  bool ok = false;
  int attempts = 0;
  std::vector<uint8_t> answer;  // the radio's answer (echo removed) of the last attempt
  LinkFailure failure;          // why the last attempt failed (kind None when ok)
};

class BlockPlan {
 public:
  static constexpr int kMaxScripts = 520;
  static constexpr int kStageAttempts = 16;
  static constexpr int kEndFrameRepeats = 3;

  BlockPlan(ErrorLog& log, const TextTable& text, const ByteArray& image);

  // Ranges used by the next rebuild (values are taken as signed 16-bit).
  void setRanges(const AddressRanges& r);
  const AddressRanges& ranges() const { return ranges_; }

  // Choose a command set and rebuild both lists.
  void UseCmdSetAlt();
  void UseCmdSetRW();
  void SetCmdSet(const QString& readHex, const QString& writeHex, uint8_t readCmd, uint8_t writeCmd);
  // Rebuilds both lists from the image and the ranges. A direction whose list
  // cannot be built completely (more than 520 scripts, an address the field
  // cannot carry, an image too short for write script 1) logs the failure as
  // "modCommun->InitProtocol", keeps the scripts built before it and is
  // reported by complete() as false.
  void InitProtocol(const QString& readHex, const QString& writeHex);

  uint8_t ReadCmd() const { return readCmd_; }
  uint8_t WriteCmd() const { return writeCmd_; }
  QString ReadCmdText() const { return readHex_; }
  QString WriteCmdText() const { return writeHex_; }
  bool usingAltSet() const { return readCmd_ == kAltReadCmd && writeCmd_ == kAltWriteCmd; }

  // Scripts of a direction are numbered from 1. Out of range raises the index failure.
  int ComCodeNum(int direction) const;
  const ScriptEntry& script(int direction, int number) const;
  const std::vector<ScriptEntry>& scripts(int direction) const;
  // False when the last rebuild of that direction failed part-way.
  bool complete(int direction) const;
  // Where the write list's data lands in the radio: pairs of (radio address,
  // image address whose byte is sent there). The block at 0x01A0 lands at
  // 0x01AC-0x01AF, the frozen bytes of the first script at their own place.
  std::vector<std::pair<int, int>> writeTargets() const;

  // The reply hook, run after every fully matched reply. `ComStep` is the
  // number of the script being run; `captured` the bytes that reply stored in
  // the capture buffer (positions 1 onward). Acts only on the four captured
  // bytes of the identification read of script 1.
  Identification replyHook(int ComStep, std::span<const uint8_t> captured);

  // Direct stages of a write, in their order: model and band first, then the
  // three information reads, then what the radio's information calls for.
  // Frame builders raise the index failure when the image is too short and the
  // overflow failure for a band limit that four BCD digits cannot hold.
  DirectStage modelBandStage(const ByteArray& image, int BandMin, int BandMax) const;
  DirectStage infoStage(int part) const;  // part 0..2
  // The parameter stage, or the three special writes of the 0x0360 group, or
  // nothing, by the radio's model code.
  std::vector<DirectStage> followingStages(const ByteArray& image, const RadioInfoBlock& info) const;
  // Places the 16 data bytes of an information read's answer into `info`.
  static void takeInfo(const DirectStage& stage, std::span<const uint8_t> answer, RadioInfoBlock& info);

  // Runs one direct stage under the exchange rule: the two waits, then up to
  // 16 attempts of flush, write and read; a short answer waits 50 ms before
  // the next attempt, a wrong first byte just counts. `DelayNms` is the radio
  // link's wait.
  static StageResult runDirectStage(SerialLibrary& io, int port, const std::function<void(int)>& DelayNms,
                                    const DirectStage& stage, bool echoMode);
  // The closing end frame, three times, no answer read.
  static void sendEndFrame(SerialLibrary& io, int port, const std::function<void(int)>& DelayNms);

 private:
  void buildList(int direction, int start, int end);
  ScriptEntry blockScript(int direction, int a, int n) const;

  ErrorLog& log_;
  const TextTable& text_;
  const ByteArray& image_;
  AddressRanges ranges_;
  uint8_t readCmd_ = kAltReadCmd;
  uint8_t writeCmd_ = kAltWriteCmd;
  QString readHex_ = QStringLiteral("24");
  QString writeHex_ = QStringLiteral("29");
  // The reference pair the identification compares with (the standard set).
  uint8_t refReadCmd_ = kStdReadCmd;
  uint8_t refWriteCmd_ = kStdWriteCmd;
  std::array<std::vector<ScriptEntry>, 2> lists_;
  std::array<bool, 2> complete_{{true, true}};
};

}  // namespace zr
