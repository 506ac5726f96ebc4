// The script engine against a fake serial line: what goes out, what a reply
// must hold, what is captured, the single-wire cable, the trace of failures
// and the engine's fixed waits, measured on a virtual clock.
#include <gtest/gtest.h>

#include "link/FakeSerialLibrary.h"
#include "link/ScriptEngine.h"
#include "link/Waiters.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"

namespace zr {
namespace {

const QString kHandshake = QStringLiteral("TX50524F4752414DRX06TX06RX06EN");
const Bytes kProgramBytes = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};

Bytes bytesOf(const QString& hex) {
  Bytes out;
  const QByteArray b = QByteArray::fromHex(hex.toLatin1());
  for (char c : b) out.push_back(static_cast<uint8_t>(c));
  return out;
}

// A radio that knows the handshake frames; every other frame gets no answer.
Bytes handshakeRadio(const Bytes& written) {
  if (written == kProgramBytes || written == Bytes{0x06}) return {0x06};
  return {};
}

struct EngineFixture : ::testing::Test {
  VirtualClock clock;
  VirtualWaiter waiter{clock};
  FakeSerialLibrary sio{&clock};
  ErrorLog log;
  TextTable text;
  ScriptEngine engine{sio, waiter, log, text};
  std::vector<bool> indicator;  // chkComRxMode as the engine ticks it

  void SetUp() override {
    sio.port(1).opens = true;
    ASSERT_EQ(sio.sio_open(1), 0);
    engine.setTransferPort(1);
    QObject::connect(&engine, &ScriptEngine::echoModeChanged, [this](bool on) { indicator.push_back(on); });
  }
  FakeSerialLibrary::Port& line() { return sio.port(1); }
  QString failureText() const { return text.SoftFace(175); }
};

// ---- one script, one set of replies ---------------------------------------

struct ScriptCase {
  const char* name;
  const char* before;                // script split beforehand (its tokens may remain)
  const char* script;
  std::vector<const char*> replies;  // one reply per write, hex
  int failed;                        // ScriptFailed afterwards
  const char* written;               // every byte written, hex
  const char* captured;              // RxCaptured 1..capturedCount(), hex
  int traceLines;
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class ScriptTable : public EngineFixture, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptTable, RunsAsSpecifiedByItsTokens) {
  const ScriptCase& c = GetParam();
  for (const char* r : c.replies) line().replies.push_back(bytesOf(QLatin1String(r)));
  engine.setRxCaptured(1, 0x11);
  engine.setRxCaptured(2, 0x22);
  engine.setRxCaptured(3, 0x33);
  if (*c.before) engine.ConvComCode(QLatin1String(c.before));
  engine.ConvComCode(QLatin1String(c.script));
  engine.ProtocolCom();

  EXPECT_EQ(engine.ScriptFailed, c.failed);
  EXPECT_EQ(hexText(line().written).toStdString(), hexText(bytesOf(QLatin1String(c.written))).toStdString());
  const auto cap = engine.captured();
  EXPECT_EQ(hexText(cap.data(), static_cast<int>(cap.size())).toStdString(),
            hexText(bytesOf(QLatin1String(c.captured))).toStdString());
  EXPECT_EQ(engine.trace().count(), c.traceLines);
  for (const QString& l : engine.trace().lines()) EXPECT_EQ(l, failureText());
  EXPECT_EQ(log.reportCount(), 0);
}

const ScriptCase kScriptCases[] = {
    {"AckAnswered", "", "TX06RX06EN", {"06"}, 0, "06", "", 0},
    {"NoAnswer", "", "TX06RX06EN", {}, -1, "06", "", 1},
    {"WrongByte", "", "TX06RX06EN", {"15"}, -1, "06", "", 1},
    {"HandshakeBothSegments", "", "TX50524F4752414DRX06TX06RX06EN", {"06", "06"}, 0, "50524F4752414D06", "", 0},
    {"StopsAtFirstFailedSegment", "", "TX06RX06TX07RX07TX08RX08EN", {"06", "00"}, -1, "0607", "", 1},
    // Identification: any first byte, then 03 88 03 exactly, then three bytes captured.
    {"CapturesVaPositions", "", "TX52038803RXVA038803VAVAVAEN", {"295A2429"}, -1, "52038803", "", 1},
    {"CapturesVaPositionsFull", "", "TX52038803RXVA038803VAVAVAEN", {"290388035A2429"}, 0, "52038803", "295A2429", 0},
    {"FixedByteAmongCapturesDiffers", "", "TX52038803RXVA038803VAVAVAEN", {"290389035A2429"}, -1, "52038803", "29", 1},
    {"ShortCapture", "", "TX52038803RXVA038803VAVAVAEN", {"290388035A24"}, -1, "52038803", "", 1},
    // "VA" in a transmit part sends the captured bytes in order.
    {"SendsCapturedBytes", "", "TX57038010VAVAVARX06EN", {"06"}, 0, "57038010112233", "", 0},
    {"TransmitOnlySegment", "", "TX455AEN", {}, 0, "455A", "", 0},
    {"FrequencyCommandIsSkipped", "", "RF010203TX06RX06EN", {"06"}, 0, "06", "", 0},
    {"NonHexTokenSendsZero", "", "TXZZRX06EN", {"06"}, 0, "00", "", 0},
    // A token is read as a hexadecimal number: lower case counts, a valid
    // head is taken ("1G" is 1), a blank inside is passed over.
    {"LowerCaseHexDigits", "", "TXabRXcdEN", {"CD"}, 0, "AB", "", 0},
    {"TokenWithValidHead", "", "TX1GRX2GEN", {"02"}, 0, "01", "", 0},
    {"BlankInsideToken", "", "TX 5RX 6EN", {"06"}, 0, "05", "", 0},
    // Odd length: the last token has one character; the tokens after it
    // are those the previous script left.
    {"OddLengthSentAsOneDigit", "TX00RX06EN", "TX5", {"06"}, 0, "05", "", 0},
    {"OddLengthComparedAsOneDigit", "TX06RX06EN", "TX06RX6", {"06"}, 0, "06", "", 0},
    {"OddLengthComparedMismatch", "TX06RX06EN", "TX06RXA", {"06"}, -1, "06", "", 1},
};

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTable, ::testing::ValuesIn(kScriptCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- waits: fixed delays and the read time limit --------------------------

struct TimingCase {
  const char* name;
  std::vector<const char*> replies;
  int timeoutsResult;
  std::vector<int> waits;
  int64_t clockMs;
};

class TimingTable : public EngineFixture, public ::testing::WithParamInterface<TimingCase> {};

TEST_P(TimingTable, SegmentsWaitOnlyTheirFixedDelaysAndTheReadLimit) {
  const TimingCase& c = GetParam();
  for (const char* r : c.replies) line().replies.push_back(bytesOf(QLatin1String(r)));
  line().setTimeoutsResult = c.timeoutsResult;
  engine.runScript(QStringLiteral("TX06RX06EN"));
  EXPECT_EQ(waiter.waits, c.waits);
  EXPECT_EQ(clock.now(), c.clockMs);
  EXPECT_TRUE(sio.calls.contains(QStringLiteral("timeouts 1 101 0")));
}

const TimingCase kTimingCases[] = {
    // 5 ms + 2 before the segment and again before the closing "EN"; the read returns at once.
    {"AnsweredReadReturnsAtOnce", {"06"}, 0, {7, 7}, 14},
    // The read waits out its limit of one byte + 100 ms; the script stops there.
    {"SilentReadWaitsItsLimit", {}, 0, {7}, 7 + 101},
    {"RefusedTimeLimitAddsShortWait", {"06"}, -1, {7, 5, 7}, 19},
};

INSTANTIATE_TEST_SUITE_P(Timing, TimingTable, ::testing::ValuesIn(kTimingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the single-wire cable -------------------------------------------------

TEST_F(EngineFixture, EchoingCableIsDetectedAndLaterReadsIncludeTheEcho) {
  line().echo = true;
  line().onWrite = handshakeRadio;
  EXPECT_TRUE(engine.runScript(kHandshake));
  EXPECT_EQ(engine.EchoMode(), 1);
  EXPECT_EQ(indicator, std::vector<bool>{true});
  // The second segment asked for its echo (1 byte) plus the reply: 2 + 100 ms.
  EXPECT_TRUE(sio.calls.contains(QStringLiteral("timeouts 1 102 0")));

  // Echo mode stays for the next script: 0x06 echoed, then answered.
  sio.calls.clear();
  EXPECT_TRUE(engine.runScript(QStringLiteral("TX06RX06EN")));
  EXPECT_TRUE(sio.calls.contains(QStringLiteral("read 1 2->2")));
}

TEST_F(EngineFixture, EchoModeGoesOffWhenThePlainCableReturns) {
  engine.setEchoMode(1);
  indicator.clear();
  line().onWrite = handshakeRadio;  // no echo any more
  EXPECT_FALSE(engine.runScript(kHandshake));  // asked for 8 bytes, got the bare 0x06
  EXPECT_EQ(engine.EchoMode(), 0);
  EXPECT_EQ(indicator, std::vector<bool>{false});
  EXPECT_EQ(engine.trace().count(), 1);
  EXPECT_TRUE(engine.runScript(kHandshake));  // the next attempt succeeds
}

TEST_F(EngineFixture, EchoWithoutRadioIsNotTakenForSingleWire) {
  line().echo = true;  // a cable that echoes, but no radio behind it
  EXPECT_FALSE(engine.runScript(kHandshake));
  EXPECT_EQ(engine.EchoMode(), 0);
  EXPECT_TRUE(indicator.empty());
}

// ---- trace list ------------------------------------------------------------

TEST_F(EngineFixture, ShortReplyStartsAFreshTraceUnlessALineIsSelected) {
  engine.trace().add(QStringLiteral("stage"));
  engine.runScript(QStringLiteral("TX06RX06EN"));  // short: no selection, so the list starts afresh
  EXPECT_EQ(engine.trace().lines(), QStringList{failureText()});
  EXPECT_EQ(engine.trace().selected(), 0);
  EXPECT_EQ(engine.trace().TraceIndex, 1);

  line().replies.push_back({0x07});
  engine.runScript(QStringLiteral("TX06RX06EN"));  // mismatch: goes below the last one
  EXPECT_EQ(engine.trace().lines(), (QStringList{failureText(), failureText()}));
  EXPECT_EQ(engine.trace().selected(), 1);
  EXPECT_EQ(engine.trace().TraceIndex, 2);
}

TEST_F(EngineFixture, MismatchKeepsTheListAndInsertsAtTraceIndex) {
  engine.trace().add(QStringLiteral("stage"));
  line().replies.push_back({0x07});
  engine.runScript(QStringLiteral("TX06RX06EN"));
  EXPECT_EQ(engine.trace().lines(), (QStringList{failureText(), QStringLiteral("stage")}));
  EXPECT_EQ(engine.trace().selected(), 0);
}

// ---- hooks -----------------------------------------------------------------

TEST_F(EngineFixture, ReplyHookSeesEveryMatchedReplyAndCanStopTheScript) {
  std::vector<int> seen;
  engine.replyHook = [&](ScriptEngine& e) {
    seen.push_back(e.capturedCount());
    if (e.capturedCount() == 4) e.ScriptFailed = -1;  // an unsupported radio, say
  };
  line().replies = {{0x06}, bytesOf(QStringLiteral("290388035A1234"))};
  EXPECT_FALSE(engine.runScript(QStringLiteral("TX50524F4752414DRX06TX52038803RXVA038803VAVAVATX06RX06EN")));
  EXPECT_EQ(seen, (std::vector<int>{0, 4}));
  EXPECT_EQ(line().writes.size(), 2u);  // the closing exchange was not sent
  EXPECT_EQ(engine.trace().count(), 0);
}

TEST_F(EngineFixture, ByteTraceSeesWhatWasSentAndReceived) {
  std::vector<std::pair<int, Bytes>> shown;
  QObject::connect(&engine, &ScriptEngine::ComDataShow, [&](int dir, const std::vector<uint8_t>& b) { shown.emplace_back(dir, b); });
  line().echo = true;
  line().onWrite = handshakeRadio;
  engine.runScript(QStringLiteral("TX50524F4752414DRX06EN"));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], std::make_pair(0, kProgramBytes));
  EXPECT_EQ(shown[1], std::make_pair(-1, Bytes{0x06}));  // the echo is not part of the reply
}

// ---- scripts that do not fit -----------------------------------------------

TEST_F(EngineFixture, EmptyScriptDoesNothingAndKeepsTheResult) {
  for (int before : {0, -1}) {
    engine.runScript(QStringLiteral("TX06RX06EN"));  // leaves tokens behind
    engine.ScriptFailed = before;
    line().written.clear();
    engine.ConvComCode(QString());
    engine.ProtocolCom();
    EXPECT_EQ(engine.ScriptFailed, before);
    EXPECT_TRUE(line().written.empty());
  }
}

struct OversizeCase {
  const char* name;
  QString script;
  int failed;
  size_t bytesWritten;
  const char* loggedTag;  // empty: nothing logged
};

class OversizeTable : public EngineFixture, public ::testing::WithParamInterface<OversizeCase> {};

TEST_P(OversizeTable, LimitsAreKeptAndAFailureIsNeverASuccess) {
  const OversizeCase& c = GetParam();
  line().onWrite = [](const Bytes&) { return Bytes(101, 0x5A); };
  engine.ScriptFailed = 0;  // a previous script succeeded
  engine.runScript(c.script);
  EXPECT_EQ(engine.ScriptFailed, c.failed);
  EXPECT_EQ(line().written.size(), c.bytesWritten);
  if (*c.loggedTag) {
    EXPECT_EQ(log.lastTag(), QLatin1String(c.loggedTag));
    EXPECT_EQ(log.lastCode(), kErrSubscript);
  } else {
    EXPECT_EQ(log.reportCount(), 0);
  }
}

const OversizeCase kOversizeCases[] = {
    // 200 tokens: 100 bytes out, 97 captured back.
    {"TwoHundredTokensRun", "TX" + QString("00").repeated(100) + "RX" + QString("VA").repeated(97) + "EN", 0, 100, ""},
    {"MoreThanTwoHundredTokensNotSent", "TX" + QString("00").repeated(198) + "RX06EN", -1, 0,
     "modCommun->ConvComCode"},
    {"HundredAndOneBytesInASegment", "TX" + QString("00").repeated(101) + "EN", 0, 101, ""},
    {"HundredAndTwoBytesInASegment", "TX" + QString("00").repeated(102) + "EN", -1, 0, "modCommun->ProtocolCom"},
    {"HundredAndTwoExpectedBytes", "TX00RX" + QString("00").repeated(102) + "EN", -1, 0, "modCommun->ProtocolCom"},
    {"CaptureBufferEndsAtHundred", "TX00RX" + QString("VA").repeated(101) + "EN", -1, 1, "modCommun->RxComDat"},
};

INSTANTIATE_TEST_SUITE_P(Oversize, OversizeTable, ::testing::ValuesIn(kOversizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineFixture, CaptureBufferIsBoundsChecked) {
  for (int pos : {0, 101}) {
    EXPECT_THROW(engine.setRxCaptured(pos, 1), RunError);
    EXPECT_THROW(engine.RxCaptured(pos), RunError);
  }
  engine.setRxCaptured(100, 7);
  EXPECT_EQ(engine.RxCaptured(100), 7);
}

}  // namespace
}  // namespace zr
