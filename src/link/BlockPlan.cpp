#include "link/BlockPlan.h"

#include <algorithm>

#include "data/ByteCodes.h"
#include "link/SerialLibrary.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {

const char kInitProtocolTag[] = "modCommun->InitProtocol";

// Fixed scripts. The first script of a read shakes hands and reads the three
// identification bytes at 0x0388; the second reads nine bytes at 0x0385 (the
// radio expects it; the bytes are not kept); the acknowledge exchange opens
// the block transfer and closes it.
const QString kReadIdentScript = QStringLiteral("TX50524F4752414DRX06TX52038803RXVA038803VAVAVAEN");
const QString kReadIdent2Script = QStringLiteral("TX52038509RXVA038509VAVAVAVAVAVAVAVAVAEN");
const QString kWriteIdentPrefix =
    QStringLiteral("TX50524F4752414DRX06TX50524F4752414DRX06TX52038803RXVA038803VAVAVA");
const QString kWriteIdent2Script =
    QStringLiteral("TX50524F4752414DRX06TX50524F4752414DRX06TX52038509RXVA038509VAVAVAVAVAVAVAVAVAEN");
const QString kAckScript = QStringLiteral("TX06RX06EN");

// Write script 1 ends with a special write of the 11 image bytes 0x0194-0x019E,
// frozen into its text when the list is built.
constexpr int kFrozenAddr = 0x0194;
constexpr int kFrozenCount = 11;
// Blocks starting in 0x0280-0x02FF are written with the special write command.
constexpr int kSpecialBlockFirst = 0x0280;
constexpr int kSpecialBlockLast = 0x02FF;
// A block starting in 0x01A0-0x01AF becomes a 4-byte write at 0x01AC.
constexpr int kShortBlockFirst = 0x01A0;
constexpr int kShortBlockLast = 0x01AF;
constexpr int kShortBlockTarget = 0x01AC;
const QString kShortBlockField = QStringLiteral("01AC04");

constexpr int kFirstBlockNumber = 4;
constexpr int kFirstPercentBase = 3;
constexpr int kPercentSpan = 94;
constexpr int kMaxBlockPercent = 98;

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Two upper-case hex digits of the low byte of `v`, appended to `out`.
void appendHex2(QString& out, int v) {
  const char16_t d[2] = {kHexDigits[(v >> 4) & 0xF], kHexDigits[v & 0xF]};
  out.append(reinterpret_cast<const QChar*>(d), 2);
}

QString hex2(int v) {
  QString s;
  appendHex2(s, v);
  return s;
}

int asInt16(int v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

int listIndex(int direction) {
  if (direction != kDirRead && direction != kDirWrite) throwSubscript("script list", direction, 1, 2);
  return direction - 1;
}

// Band limit (10 Hz units) as four BCD digits in 100 kHz units.
std::array<uint8_t, 2> bandBcd(int limit) {
  const int v = limit / 10000;
  if (limit < 0 || v > 9999) throw RunError(kErrOverflow, QStringLiteral("band limit %1 does not fit four BCD digits").arg(limit));
  return {static_cast<uint8_t>(bytecodes::toBcdByte(v / 100)), static_cast<uint8_t>(bytecodes::toBcdByte(v % 100))};
}

}  // namespace

std::array<uint8_t, 2> addressField(int a) {
  if (a < 0 || a > kMaxFieldAddr) throwSubscript("address field", a, 0, kMaxFieldAddr);
  return {static_cast<uint8_t>((a / 1024) * 16 + (a % 1024) / 256), static_cast<uint8_t>(a % 256)};
}

QString addressText(int a) {
  const auto f = addressField(a);
  QString s;
  s.reserve(4);
  appendHex2(s, f[0]);
  appendHex2(s, f[1]);
  return s;
}

int addressFromField(uint8_t high, uint8_t low) {
  if ((high & 0x0F) > 3) return -1;
  return (high >> 4) * 1024 + (high & 0x0F) * 256 + low;
}

int roundHalfEven(long long num, long long den) {
  // Floor division first, so negative quotients round the same way.
  long long q = num / den;
  long long r = num % den;
  if (r < 0) {
    q -= 1;
    r += den;
  }
  const long long twice = 2 * r;
  if (twice > den || (twice == den && (q % 2 != 0))) q += 1;
  return static_cast<int>(q);
}

BlockPlan::BlockPlan(ErrorLog& log, const TextTable& text, const ByteArray& image)
    : log_(log), text_(text), image_(image) {}

void BlockPlan::setRanges(const AddressRanges& r) {
  ranges_ = {asInt16(r.ReadStartAddr), asInt16(r.ReadEndAddr), asInt16(r.WriteStartAddr), asInt16(r.WriteEndAddr)};
}

void BlockPlan::UseCmdSetAlt() {
  SetCmdSet(QStringLiteral("24"), QStringLiteral("29"), kAltReadCmd, kAltWriteCmd);
}

void BlockPlan::UseCmdSetRW() {
  refReadCmd_ = kStdReadCmd;
  refWriteCmd_ = kStdWriteCmd;
  SetCmdSet(QStringLiteral("52"), QStringLiteral("57"), kStdReadCmd, kStdWriteCmd);
}

void BlockPlan::SetCmdSet(const QString& readHex, const QString& writeHex, uint8_t readCmd, uint8_t writeCmd) {
  readHex_ = readHex;
  writeHex_ = writeHex;
  readCmd_ = readCmd;
  writeCmd_ = writeCmd;
  InitProtocol(readHex, writeHex);
}

void BlockPlan::InitProtocol(const QString& readHex, const QString& writeHex) {
  readHex_ = readHex;
  writeHex_ = writeHex;
  // Each direction is built on its own: a read range that cannot be planned
  // must not leave the write list of an earlier command set behind.
  for (int dir : {kDirRead, kDirWrite}) {
    const int k = listIndex(dir);
    lists_[k].clear();
    complete_[k] = false;
    const int start = dir == kDirRead ? ranges_.ReadStartAddr : ranges_.WriteStartAddr;
    const int end = dir == kDirRead ? ranges_.ReadEndAddr : ranges_.WriteEndAddr;
    complete_[k] = guarded(log_, kInitProtocolTag, [&] { buildList(dir, start, end); });
  }
}

void BlockPlan::buildList(int direction, int start, int end) {
  std::vector<ScriptEntry>& list = lists_[listIndex(direction)];
  auto add = [&](ScriptEntry e) {
    if (static_cast<int>(list.size()) >= kMaxScripts)
      throwSubscript("script list", static_cast<long long>(list.size()) + 1, 1, kMaxScripts);
    list.push_back(std::move(e));
  };

  if (direction == kDirRead) {
    add({kReadIdentScript, 0, 0, 0});
    add({kReadIdent2Script, 0, 0, 0});
  } else {
    QString first = kWriteIdentPrefix + QStringLiteral("TX") + hex2(kSpecialWriteCmd) + addressText(kFrozenAddr) +
                    hex2(kFrozenCount);
    for (int a = kFrozenAddr; a < kFrozenAddr + kFrozenCount; ++a) first += hex2(image_.at(a));
    first += QStringLiteral("RX06EN");
    add({first, 0, 0, 0});
    add({kWriteIdent2Script, 0, 0, 0});
  }
  add({kAckScript, 0, 0, kFirstPercentBase});

  // N: the number of blocks the range is expected to take, for the progress values.
  const int blocks = std::max(1, roundHalfEven(static_cast<long long>(end) - start, kMaxBlockBytes));
  int i = kFirstBlockNumber;
  for (int a = start; a <= end;) {
    const int n = end - a >= kMaxBlockBytes ? kMaxBlockBytes : end - a + 1;
    ScriptEntry e = blockScript(direction, a, n);
    e.ComPercent = std::min(kMaxBlockPercent,
                            roundHalfEven(static_cast<long long>(i - 1) * kPercentSpan + static_cast<long long>(kFirstPercentBase) * blocks, blocks));
    add(std::move(e));
    ++i;
    a += n;
  }
  add({kAckScript, 0, 0, 100});
}

ScriptEntry BlockPlan::blockScript(int direction, int a, int n) const {
  ScriptEntry e;
  e.ComAddr = a;
  e.ComCount = n;
  // Built in one string: a list of 512 blocks is rebuilt at every start of a
  // transfer and again when the radio names the other command set.
  QString field = addressText(a);
  appendHex2(field, n);
  QString& code = e.ComCode;
  const auto appendData = [&code](int count) {
    for (int k = 0; k < count; ++k) code += QLatin1String("VA");
  };
  if (direction == kDirRead) {
    code.reserve(4 + 2 * field.size() + 2 * n + 6);
    code += QLatin1String("TX");
    code += readHex_;
    code += field;
    code += QLatin1String("RX");
    code += writeHex_;
    code += field;
    appendData(n);
    code += QLatin1String("EN");
  } else if (a >= kSpecialBlockFirst && a <= kSpecialBlockLast) {
    code.reserve(4 + field.size() + 2 * n + 6);
    code += QLatin1String("TX");
    appendHex2(code, kSpecialWriteCmd);
    code += field;
    appendData(n);
    code += QLatin1String("RX06EN");
  } else if (a >= kShortBlockFirst && a <= kShortBlockLast) {
    // The radio takes only the four bytes at 0x01AC-0x01AF here; they are the
    // first four bytes of the block as the transfer places them. A block cut
    // shorter than four bytes by the range end still carries four, so that no
    // byte left over from the previous script goes out.
    e.ComCount = std::max(n, 4);
    code.reserve(4 + kShortBlockField.size() + 8 + 6);
    code += QLatin1String("TX");
    code += writeHex_;
    code += kShortBlockField;
    appendData(4);
    code += QLatin1String("RX06EN");
  } else {
    code.reserve(4 + field.size() + 2 * n + 6);
    code += QLatin1String("TX");
    code += writeHex_;
    code += field;
    appendData(n);
    code += QLatin1String("RX06EN");
  }
  return e;
}

int BlockPlan::ComCodeNum(int direction) const { return static_cast<int>(lists_[listIndex(direction)].size()); }

const ScriptEntry& BlockPlan::script(int direction, int number) const {
  const auto& list = lists_[listIndex(direction)];
  if (number < 1 || number > static_cast<int>(list.size()))
    throwSubscript("script list", number, 1, static_cast<long long>(list.size()));
  return list[static_cast<size_t>(number - 1)];
}

const std::vector<ScriptEntry>& BlockPlan::scripts(int direction) const { return lists_[listIndex(direction)]; }

bool BlockPlan::complete(int direction) const { return complete_[listIndex(direction)]; }

std::vector<std::pair<int, int>> BlockPlan::writeTargets() const {
  std::vector<std::pair<int, int>> out;
  const auto& list = lists_[listIndex(kDirWrite)];
  if (list.empty()) return out;
  for (int a = kFrozenAddr; a < kFrozenAddr + kFrozenCount; ++a) out.emplace_back(a, a);
  for (const ScriptEntry& e : list) {
    if (e.ComCount <= 0) continue;
    if (e.ComAddr >= kShortBlockFirst && e.ComAddr <= kShortBlockLast) {
      for (int k = 0; k < 4; ++k) out.emplace_back(kShortBlockTarget + k, e.ComAddr + k);
    } else {
      for (int k = 0; k < e.ComCount; ++k) out.emplace_back(e.ComAddr + k, e.ComAddr + k);
    }
  }
  return out;
}

Identification BlockPlan::replyHook(int ComStep, std::span<const uint8_t> captured) {
  Identification id;
  if (ComStep != 1 || captured.size() != 4) return id;
  // captured[0] is the answer's command byte, then radio 0x0388-0x038A.
  const uint8_t marker = captured[1], radioRead = captured[2], radioWrite = captured[3];
  if (marker != kIdentMarker || (radioRead == refReadCmd_ && radioWrite == refWriteCmd_)) {
    UseCmdSetRW();
    id.outcome = Identification::Outcome::StandardSet;
  } else if (radioRead == readCmd_ && radioWrite == writeCmd_) {
    id.outcome = Identification::Outcome::KeepSet;
  } else {
    id.outcome = Identification::Outcome::Unsupported;
    id.title = text_.SoftFace(kTxtNotice);
    id.message = text_.SoftFace(kTxtUnsupported);
  }
  return id;
}

DirectStage BlockPlan::modelBandStage(const ByteArray& image, int BandMin, int BandMax) const {
  DirectStage s;
  s.trace = QStringLiteral("写入:机型和频段");
  const auto lo = bandBcd(BandMin), hi = bandBcd(BandMax);
  s.frame = {writeCmd_, 0x03, 0x79, 0x05, image.at(0x0379), lo[0], lo[1], hi[0], hi[1]};
  s.answerLength = 1;
  s.expectedAnswer = kAck;
  return s;
}

DirectStage BlockPlan::infoStage(int part) const {
  static const std::array<QString, 3> traces = {
      QStringLiteral("读取:对讲机的机型和参数  0x3D0 -- 0x3DF"),
      QStringLiteral("读取:对讲机的机型和参数  0x3E0 -- 0x3EF"),
      QStringLiteral("读取:对讲机的机型和参数  0x3F0 -- 0x3FF"),
  };
  if (part < 0 || part > 2) throwSubscript("information read", part, 0, 2);
  DirectStage s;
  s.trace = traces[static_cast<size_t>(part)];
  const auto f = addressField(kInfoBlockAddr + 16 * part);
  s.frame = {readCmd_, f[0], f[1], 0x10};
  s.answerLength = 4 + 16;
  s.expectedAnswer = writeCmd_;
  s.infoOffset = 16 * part;
  return s;
}

bool takesSpecialBlocks(int modelCode, uint8_t modelFlags) {
  return modelCode >= 100 && modelCode <= 149 && (modelFlags & 0x38) == 0x28;
}

std::vector<DirectStage> BlockPlan::followingStages(const ByteArray& image, const RadioInfoBlock& info) const {
  std::vector<DirectStage> out;
  const int code = info.RadioModelCode();
  if (code >= 22 && code <= 99 && code != 31) {
    // The radio's own parameter block 0x03F0-0x03FF, with the volume and
    // squelch bytes and two option bits taken from the image.
    DirectStage s;
    s.trace = QStringLiteral("写入:收音机的SQL和音量及对讲机的参数");
    s.frame = {writeCmd_, 0x03, 0xF0, 0x10};
    std::array<uint8_t, 16> p{};
    std::copy(info.bytes.begin() + 32, info.bytes.end(), p.begin());
    p[6] = image.at(0x03F6);
    p[7] = image.at(0x03F7);
    p[12] = static_cast<uint8_t>((p[12] & 0x7F) | (image.at(0x03FC) & 0x80));
    p[14] = static_cast<uint8_t>((p[14] & ~0x04) | (image.at(0x03FE) & 0x04));
    s.frame.insert(s.frame.end(), p.begin(), p.end());
    out.push_back(std::move(s));
  } else if (takesSpecialBlocks(code, info.bytes[kModelFlagsAddr - kInfoBlockAddr])) {
    struct Group {
      const char16_t* trace;
      int addr;
      int count;
    };
    static const Group groups[] = {
        {u"写入:0x0360 -- 0x036F的数据", 0x0360, 0x10},
        {u"写入:0x03D9 -- 0x03DF的数据", 0x03D9, 0x07},
        {u"写入:0x03E0 -- 0x03EB的数据", 0x03E0, 0x0C},
    };
    for (const Group& g : groups) {
      DirectStage s;
      s.trace = QString::fromUtf16(g.trace);
      const auto f = addressField(g.addr);
      s.frame = {kSpecialWriteCmd, f[0], f[1], static_cast<uint8_t>(g.count)};
      for (int a = g.addr; a < g.addr + g.count; ++a) s.frame.push_back(image.at(a));
      s.waitMs = 2;
      out.push_back(std::move(s));
    }
  }
  return out;
}

void BlockPlan::takeInfo(const DirectStage& stage, std::span<const uint8_t> answer, RadioInfoBlock& info) {
  if (stage.infoOffset < 0) return;
  // The answer's command, address and length bytes are not compared.
  if (answer.size() < 20) throwSubscript("information answer", 19, 0, static_cast<long long>(answer.size()) - 1);
  if (stage.infoOffset + 16 > kInfoBlockSize) throwSubscript("information block", stage.infoOffset + 15, 0, kInfoBlockSize - 1);
  std::copy(answer.begin() + 4, answer.begin() + 20, info.bytes.begin() + stage.infoOffset);
}

StageResult BlockPlan::runDirectStage(SerialLibrary& io, int port, const std::function<void(int)>& DelayNms,
                                      const DirectStage& stage, bool echoMode) {
  StageResult res;
  DelayNms(stage.waitMs);
  DelayNms(stage.waitMs);
  const int frameLen = static_cast<int>(stage.frame.size());
  const int skip = echoMode ? frameLen : 0;
  const int want = stage.answerLength + skip;
  std::vector<uint8_t> buf(static_cast<size_t>(std::max(want, 1)));
  // A port that fails ends the stage at once: a pulled cable does not come
  // back by trying again.
  const auto portFailed = [&](const QString& what) {
    const QString reason = io.ioError(port);
    res.failure = LinkFailure::portGone(io.deviceName(port), reason.isEmpty() ? what + QStringLiteral(" failed") : reason);
    return res;
  };
  while (res.attempts < kStageAttempts) {
    ++res.attempts;
    if (io.sio_flush(port, 2) != 0) return portFailed(QStringLiteral("flush"));
    if (io.sio_write(port, stage.frame.data(), frameLen) != frameLen) return portFailed(QStringLiteral("write"));
    const int got = io.sio_read(port, buf.data(), want);
    if (got < 0) return portFailed(QStringLiteral("read"));
    if (got < want) {
      const int answered = got - skip;
      if (answered <= 0) res.failure = LinkFailure::noAnswer();
      else
        res.failure = LinkFailure::unexpectedReply(0, -1, std::span<const uint8_t>(&stage.expectedAnswer, 1),
                                                   std::span<const uint8_t>(buf.data() + skip, static_cast<size_t>(answered)));
      DelayNms(50);
      continue;
    }
    res.answer.assign(buf.begin() + skip, buf.begin() + want);
    if (res.answer.empty() || res.answer.front() == stage.expectedAnswer) {
      res.ok = true;
      res.failure = {};
      return res;
    }
    res.failure = LinkFailure::unexpectedReply(0, -1, std::span<const uint8_t>(&stage.expectedAnswer, 1), res.answer);
  }
  return res;
}

void BlockPlan::sendEndFrame(SerialLibrary& io, int port, const std::function<void(int)>& DelayNms) {
  for (int k = 0; k < kEndFrameRepeats; ++k) {
    DelayNms(2);
    DelayNms(5);
    io.sio_flush(port, 2);
    io.sio_write(port, kEndFrame.data(), static_cast<int>(kEndFrame.size()));
  }
  DelayNms(1);
}

}  // namespace zr
