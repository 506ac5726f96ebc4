#pragma once
// The protocol script engine. Every exchange of the block plan is a short
// text of two-character tokens:
//   "TX" starts a segment and its transmit part, "RX" starts the receive part,
//   two hex digits are a byte to send or the byte the reply must hold there,
//   "VA" sends the next captured byte (transmit) or accepts and captures any
//   byte (receive), "RF"/"WF" followed by three numbers are frequency
//   commands that do nothing, and "EN" ends the script.
// A script stops at its first failed segment; `ScriptFailed` tells the caller.
//
// The engine also detects a single-wire cable, which returns every byte sent
// before the radio's answer: when the handshake (ASCII PROGRAM, expecting
// 0x06) is answered by PROGRAM itself followed by 0x06, echo mode goes on and
// every later read asks for the echo plus the reply; when in echo mode the
// handshake is answered by a bare 0x06 the cable was changed, and echo mode
// goes off.
#include <QObject>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "link/LinkFailure.h"
#include "link/SerialLibrary.h"

namespace zr {

class ErrorLog;
class TextTable;

// The communication window's trace list `listRtData` as a model: its lines,
// the selected line and `TraceIndex`, the line the next receive failure goes to.
class TraceList : public QObject {
  Q_OBJECT
 public:
  const QStringList& lines() const { return lines_; }
  int count() const { return static_cast<int>(lines_.size()); }
  int selected() const { return selected_; }  // -1 when no line is selected

  // Next line number for a receive failure (0 at the start of a transfer).
  int TraceIndex = 0;

  // Empties the list (no selection); `TraceIndex` is left alone.
  void clear();
  // Inserts a line at `row` (0..count); another row is an invalid call (code 5).
  void insert(int row, const QString& text);
  // Appends a line (the stage lines of a write).
  void add(const QString& text) { insert(count(), text); }
  // Selects a line, -1 for none; another row is an invalid call (code 5).
  void select(int row);
  // Start of a transfer: list emptied and `TraceIndex` 0.
  void reset() {
    clear();
    TraceIndex = 0;
  }

 signals:
  void cleared();
  void lineInserted(int row, const QString& text);
  void selectionChanged(int row);

 private:
  QStringList lines_;
  int selected_ = -1;
};

class ScriptEngine : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxTokens = 200;   // `ScriptTokens` positions 1..200
  static constexpr int kSegmentSlots = 101;  // `TxBytes` / `RxExpected` positions 0..100
  static constexpr int kCaptureSize = 100;  // `RxCaptured` positions 1..100
  // The handshake frame, ASCII PROGRAM; its answer is 0x06.
  static constexpr std::array<uint8_t, 7> kProgram = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};

  ScriptEngine(SerialLibrary& sio, Waiter& waiter, ErrorLog& log, const TextTable& text);

  // The port the scripts run on (set when a transfer port is opened).
  int transferPort() const { return port_; }
  void setTransferPort(int port) { port_ = port; }

  // Splits a script into tokens at positions 1..k (an odd length leaves a
  // last token of one character); higher positions keep their old tokens.
  // More than 200 tokens is logged as "modCommun->ConvComCode"; then no token
  // is stored, the script cannot run and `ScriptFailed` is -1.
  void ConvComCode(const QString& script);
  // Runs the split script on the transfer port; result in `ScriptFailed`.
  void ProtocolCom();
  // Receives and checks the reply of the current segment (n expected bytes).
  void RxComDat(int n);
  // ConvComCode and ProtocolCom; true when the script succeeded.
  bool runScript(const QString& script);
  // The link's delay: `ms` + 2 milliseconds, serving events meanwhile.
  void DelayNms(int ms);
  // Frequency commands "RF"/"WF": the radio has none; kept as a no-op.
  void ReadWriteFre(const QString&, int, int, int) {}

  // -1 after a failed segment, 0 after a successful one.
  int ScriptFailed = 0;
  // Why the last script failed (kind None after a success): silence, a
  // reply other than expected (with its bytes) or a port that failed. The
  // engine knows no blocks; the transfer adds the block and its address.
  LinkFailure failure;
  // Position in `RxCaptured` (1-based) of the next captured or sent "VA" byte.
  int CapturePos = 1;

  // 1 when the cable echoes every byte sent (single-wire), 0 otherwise.
  int EchoMode() const { return echoMode_; }
  // Sets the mode and tells the indicator (`chkComRxMode`).
  void setEchoMode(int mode);

  // Token at position 1..200 (index failure elsewhere).
  const QString& ScriptToken(int pos) const;
  // `RxCaptured` at position 1..100 (index failure elsewhere).
  uint8_t RxCaptured(int pos) const;
  void setRxCaptured(int pos, uint8_t value);
  // How many bytes the last matched reply captured ("VA" positions), and
  // those bytes (`RxCaptured` 1..capturedCount()).
  int capturedCount() const { return CapturePos - 1; }
  std::span<const uint8_t> captured() const {
    return std::span<const uint8_t>(captured_.data(), static_cast<size_t>(std::clamp(CapturePos - 1, 0, kCaptureSize)));
  }

  // The trace list `listRtData`.
  TraceList& trace() { return trace_; }
  const TraceList& trace() const { return trace_; }

  // Called after every fully matched reply (the block plan's command-set
  // check plugs in here); it may set `ScriptFailed` to -1 to stop the script.
  std::function<void(ScriptEngine&)> replyHook;

 signals:
  // `ComDataShow`: every buffer sent (direction 0) and every reply received
  // (direction -1).
  void ComDataShow(int direction, const std::vector<uint8_t>& bytes);
  // The single-wire indicator `chkComRxMode`, told whenever `EchoMode` is set.
  void echoModeChanged(bool ticked);

 private:
  const QString& tokenAt(int pos) const;
  bool sentProgram() const;
  void traceFailure(bool shortReply);
  // A flush, write or read of the port failed: the device is gone.
  void portFailed(const QString& what);
  // The reply's fixed bytes before the first "VA" (what a reply must start with).
  std::vector<uint8_t> expectedPrefix() const;

  SerialLibrary& sio_;
  Waiter& waiter_;
  ErrorLog& log_;
  const TextTable& text_;
  int port_ = 1;

  std::array<QString, kMaxTokens> tokens_{};
  std::vector<uint8_t> txBytes_;      // `TxBytes` of the current segment
  std::vector<QString> rxExpected_;   // `RxExpected` of the current segment
  std::vector<uint8_t> rxRaw_;        // `RxRaw` of the current segment
  std::array<uint8_t, kCaptureSize> captured_{};
  int echoMode_ = 0;
  TraceList trace_;
};

}  // namespace zr
