#include "link/ScriptEngine.h"

#include <algorithm>

#include "link/Waiters.h"
#include "base/ErrorLog.h"
#include "base/RunError.h"
#include "base/TextTable.h"
#include "base/VbText.h"
#include "base/TextIds.h"

namespace zr {

namespace {

const QString kTX = QStringLiteral("TX");
const QString kRX = QStringLiteral("RX");
const QString kVA = QStringLiteral("VA");
const QString kEN = QStringLiteral("EN");
const QString kRF = QStringLiteral("RF");
const QString kWF = QStringLiteral("WF");
const QString kAck = QStringLiteral("06");
constexpr uint8_t kAckByte = 0x06;

// Value of a token read as a hexadecimal number; a token that is not one is 0
// and one with a valid head ("1G") is the value of its head. Nearly every
// token is one or two plain hex digits (or empty, 0): those are read here,
// anything else goes through the general reading.
int tokenValue(const QString& token) {
  if (token.size() <= 2) {
    int v = 0;
    bool plain = true;
    for (const QChar c : token) {
      const int d = hexDigitValue(c);
      if (d < 0) {
        plain = false;
        break;
      }
      v = v * 16 + d;
    }
    if (plain) return v;
  }
  return static_cast<int>(vbVal(QStringLiteral("&H") + token));
}

uint8_t tokenByte(const QString& token) {
  const int v = tokenValue(token);
  if (v < 0 || v > 0xFF) throw RunError(kErrOverflow, QStringLiteral("token %1 is not a byte").arg(token));
  return static_cast<uint8_t>(v);
}

}  // namespace

// ---- trace list -------------------------------------------------------------

void TraceList::clear() {
  lines_.clear();
  selected_ = -1;
  emit cleared();
}

void TraceList::insert(int row, const QString& text) {
  if (row < 0 || row > count())
    throw RunError(kErrInvalidCall, QStringLiteral("trace line %1 outside 0..%2").arg(row).arg(count()));
  lines_.insert(row, text);
  if (selected_ >= row) ++selected_;  // the selected line moves down with its text
  emit lineInserted(row, text);
}

void TraceList::select(int row) {
  if (row < -1 || row >= count())
    throw RunError(kErrInvalidCall, QStringLiteral("trace line %1 outside 0..%2").arg(row).arg(count() - 1));
  selected_ = row;
  emit selectionChanged(row);
}

// ---- engine -----------------------------------------------------------------

ScriptEngine::ScriptEngine(SerialLibrary& sio, Waiter& waiter, ErrorLog& log, const TextTable& text)
    : sio_(sio), waiter_(waiter), log_(log), text_(text) {
  txBytes_.reserve(kSegmentSlots);
  rxExpected_.reserve(kSegmentSlots);
}

void ScriptEngine::DelayNms(int ms) { zr::DelayNms(waiter_, ms); }

void ScriptEngine::setEchoMode(int mode) {
  echoMode_ = mode;
  emit echoModeChanged(mode == 1);
}

const QString& ScriptEngine::tokenAt(int pos) const {
  if (pos < 1 || pos > kMaxTokens) throwSubscript("ScriptTokens", pos, 1, kMaxTokens);
  return tokens_[pos - 1];
}

const QString& ScriptEngine::ScriptToken(int pos) const { return tokenAt(pos); }

uint8_t ScriptEngine::RxCaptured(int pos) const {
  if (pos < 1 || pos > kCaptureSize) throwSubscript("RxCaptured", pos, 1, kCaptureSize);
  return captured_[pos - 1];
}

void ScriptEngine::setRxCaptured(int pos, uint8_t value) {
  if (pos < 1 || pos > kCaptureSize) throwSubscript("RxCaptured", pos, 1, kCaptureSize);
  captured_[pos - 1] = value;
}

bool ScriptEngine::sentProgram() const {
  return txBytes_.size() == kProgram.size() && std::equal(kProgram.begin(), kProgram.end(), txBytes_.begin());
}

void ScriptEngine::ConvComCode(const QString& script) {
  guarded(log_, "modCommun->ConvComCode", [&] {
    const int k = static_cast<int>((script.size() + 1) / 2);
    if (k > kMaxTokens) {
      // A script that does not fit must not run in part: nothing of it is
      // sent, and the caller sees a failed script.
      tokens_[0].clear();
      ScriptFailed = -1;
      throwSubscript("ScriptTokens", kMaxTokens + 1, 1, kMaxTokens);
    }
    // An empty script leaves nothing to run (not the previous script's tokens).
    if (k == 0) tokens_[0].clear();
    // Consecutive scripts of a list share most of their tokens: a token
    // that is already there stays (no new string for it).
    for (int i = 0; i < k; ++i) {
      const QStringView piece = QStringView(script).mid(2 * i, 2);
      if (tokens_[i] != piece) tokens_[i] = piece.toString();
    }
  });
}

bool ScriptEngine::runScript(const QString& script) {
  ConvComCode(script);
  ProtocolCom();
  return ScriptFailed == 0;
}

void ScriptEngine::ProtocolCom() {
  failure = {};
  const bool finished = guarded(log_, "modCommun->ProtocolCom", [&] {
    CapturePos = 1;
    int pos = 1;
    for (;;) {
      txBytes_.clear();
      rxExpected_.clear();
      DelayNms(5);
      const QString& head = tokenAt(pos);
      if (head == kTX) {
        ++pos;
        bool receivePart = false;
        for (;; ++pos) {
          const QString& t = tokenAt(pos);
          if (!receivePart) {
            if (t == kRX) {
              receivePart = true;
              continue;
            }
            if (t == kEN) break;  // the segment and the script end here
            if (txBytes_.size() >= static_cast<size_t>(kSegmentSlots))
              throwSubscript("TxBytes", kSegmentSlots, 0, kSegmentSlots - 1);
            if (t == kVA) {
              txBytes_.push_back(RxCaptured(CapturePos));
              ++CapturePos;
            } else {
              txBytes_.push_back(tokenByte(t));
            }
          } else {
            if (t == kTX || t == kEN || t == kRF || t == kWF) break;  // next segment starts here
            if (rxExpected_.size() >= static_cast<size_t>(kSegmentSlots))
              throwSubscript("RxExpected", kSegmentSlots, 0, kSegmentSlots - 1);
            rxExpected_.push_back(t);
          }
        }
        ScriptFailed = 0;
        if (!txBytes_.empty()) {
          emit ComDataShow(0, txBytes_);
          if (sio_.sio_flush(port_, 2) != 0) {
            portFailed(QStringLiteral("flush"));
            return;
          }
          const int count = static_cast<int>(txBytes_.size());
          const int sent = sio_.sio_write(port_, txBytes_.data(), count);
          if (sent != count) {
            portFailed(sent < 0 ? QStringLiteral("write") : QStringLiteral("write (%1 of %2 bytes sent)").arg(sent).arg(count));
            return;
          }
        }
        if (!rxExpected_.empty()) RxComDat(static_cast<int>(rxExpected_.size()));
      } else if (head == kRF || head == kWF) {
        const int a = tokenValue(tokenAt(pos + 1));
        const int b = tokenValue(tokenAt(pos + 2));
        const int c = tokenValue(tokenAt(pos + 3));
        const QString command = head;
        pos += 4;
        ReadWriteFre(command, a, b, c);
      } else {
        return;  // "EN" (or anything else) ends the script
      }
      if (ScriptFailed == -1) return;
    }
  });
  // A script cut short by a failure was not carried out: never let it pass
  // for a success.
  if (!finished) ScriptFailed = -1;
}

void ScriptEngine::RxComDat(int n) {
  const bool finished = guarded(log_, "modCommun->RxComDat", [&] {
    CapturePos = 1;
    if (n < 1 || n > static_cast<int>(rxExpected_.size()))
      throwSubscript("RxExpected", n - 1, 0, static_cast<long long>(rxExpected_.size()) - 1);
    const int txCount = static_cast<int>(txBytes_.size());
    const int e = echoMode_ == 1 ? n + txCount : n;
    if (sio_.sio_SetReadTimeouts(port_, e + 100, 0) != 0) DelayNms(3);
    rxRaw_.assign(static_cast<size_t>(e), 0);
    const int read = sio_.sio_read(port_, rxRaw_.data(), e);
    if (read < 0) {
      portFailed(QStringLiteral("read"));
      return;
    }
    const int r = std::min(read, e);
    const bool handshake = rxExpected_[0] == kAck && n == 1 && sentProgram();

    if (r < e) {
      // A bare acknowledge where the echo should have come first: the cable
      // no longer echoes.
      if (handshake && r > 0 && rxRaw_[0] == kAckByte) setEchoMode(0);
      // Nothing at all is silence; part of a reply is a reply cut short.
      // With an echoing cable the echo does not count as the radio's answer.
      const int echo = echoMode_ == 1 ? std::min(txCount, r) : 0;
      if (r - echo <= 0) {
        failure = LinkFailure::noAnswer();
      } else {
        const std::vector<uint8_t> expected = expectedPrefix();
        failure = LinkFailure::unexpectedReply(0, -1, expected,
                                               std::span<const uint8_t>(rxRaw_.data() + echo, static_cast<size_t>(r - echo)));
      }
      traceFailure(true);
      ScriptFailed = -1;
      return;
    }

    if (handshake && rxRaw_[0] == kProgram[0]) {
      // The handshake's answer starts with its own first byte: read the rest
      // of a possible echo; PROGRAM followed by the acknowledge means a
      // single-wire cable.
      rxRaw_.resize(kProgram.size() + 1, 0);
      DelayNms(15);
      const int more = sio_.sio_read(port_, rxRaw_.data() + 1, static_cast<int>(kProgram.size()));
      if (more == static_cast<int>(kProgram.size()) &&
          std::equal(kProgram.begin(), kProgram.end(), rxRaw_.begin()) && rxRaw_[kProgram.size()] == kAckByte)
        setEchoMode(1);
    }
    if (echoMode_ == 1) {
      // The echo of what was sent comes first; it is not compared.
      rxRaw_.erase(rxRaw_.begin(), rxRaw_.begin() + std::min<size_t>(static_cast<size_t>(txCount), rxRaw_.size()));
    }
    emit ComDataShow(-1, rxRaw_);

    for (int i = 0; i < n; ++i) {
      if (static_cast<size_t>(i) >= rxRaw_.size())
        throwSubscript("RxRaw", i, 0, static_cast<long long>(rxRaw_.size()) - 1);
      const uint8_t got = rxRaw_[static_cast<size_t>(i)];
      if (rxExpected_[static_cast<size_t>(i)] == kVA) {
        setRxCaptured(CapturePos, got);
        ++CapturePos;
      } else if (got != tokenValue(rxExpected_[static_cast<size_t>(i)])) {
        // The bytes up to the first that differs (the last eight of them);
        // where the reply may hold anything, the radio's byte stands.
        const int from = std::max(0, i + 1 - LinkFailure::kShownBytes);
        std::vector<uint8_t> expected, received;
        for (int k = from; k <= i; ++k) {
          const QString& token = rxExpected_[static_cast<size_t>(k)];
          received.push_back(rxRaw_[static_cast<size_t>(k)]);
          expected.push_back(token == kVA ? rxRaw_[static_cast<size_t>(k)] : static_cast<uint8_t>(tokenValue(token) & 0xFF));
        }
        failure = LinkFailure::unexpectedReply(0, -1, expected, received);
        traceFailure(false);
        ScriptFailed = -1;
        return;
      }
    }
    if (replyHook) replyHook(*this);
  });
  if (!finished) ScriptFailed = -1;
}

std::vector<uint8_t> ScriptEngine::expectedPrefix() const {
  std::vector<uint8_t> out;
  for (const QString& t : rxExpected_) {
    if (t == kVA || out.size() >= static_cast<size_t>(LinkFailure::kShownBytes)) break;
    out.push_back(static_cast<uint8_t>(tokenValue(t) & 0xFF));
  }
  return out;
}

void ScriptEngine::portFailed(const QString& what) {
  const QString reason = sio_.ioError(port_);
  failure = LinkFailure::portGone(sio_.deviceName(port_),
                                  reason.isEmpty() ? QStringLiteral("%1 failed").arg(what) : reason);
  ScriptFailed = -1;
}

void ScriptEngine::traceFailure(bool shortReply) {
  if (shortReply && trace_.selected() < 0) trace_.reset();
  const int row = trace_.TraceIndex;
  trace_.insert(row, text_.SoftFace(kTxtNoReceiveData));
  trace_.select(row);
  trace_.TraceIndex = row + 1;
}

}  // namespace zr
