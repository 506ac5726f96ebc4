#pragma once
// Why a transfer with the radio did not finish, as a value: the serial layer,
// the script engine and the transfer fill it in where the failure happens,
// and every front end (the communication window, the CLI, a batch station)
// shows it in its own way without reading text back. A write also carries how
// far the radio got: a radio that acknowledged some blocks and not the rest
// holds a mix of its old and its new configuration.
#include <QString>
#include <array>
#include <cstdint>
#include <span>

namespace zr {

class TextTable;

struct LinkFailure {
  enum class Kind {
    None,              // nothing failed
    NoAnswer,          // the radio did not answer at all
    StoppedAnswering,  // it answered, then went silent at `block` (`address`)
    UnexpectedReply,   // it answered something else at `address`
    PortGone,          // the port went away: device vanished, or an I/O error
    PortBusy,          // the port is held by another program or would not open
    StoppedByUser,     // the user stopped the transfer
  };
  // Reply bytes kept for the user to compare: enough to see the difference,
  // not a dump.
  static constexpr int kShownBytes = 8;

  Kind kind = Kind::None;
  // Block of the list where it happened (1-based, data blocks only; 0 when
  // the failure is not at a block) and its radio address (-1 when none).
  int block = 0;
  int address = -1;
  // UnexpectedReply: the bytes the radio should have sent and those it sent.
  std::array<uint8_t, kShownBytes> expected{};
  int expectedCount = 0;
  std::array<uint8_t, kShownBytes> received{};
  int receivedCount = 0;
  // PortGone / PortBusy: the device and the system's word for the problem
  // ("Input/output error", "held by another program").
  QString device;
  QString systemReason;

  // A write: data blocks the radio acknowledged of those it was to take,
  // and the radio address of the last byte acknowledged (-1 when none).
  // `allSent`: the radio took the whole write, blocks and closing frames,
  // and only what came after (the read-back) failed.
  bool write = false;
  int blocksAcknowledged = 0;
  int blocksTotal = 0;
  int lastAcknowledgedAddress = -1;
  bool allSent = false;

  bool failed() const { return kind != Kind::None; }
  // A write that failed after the radio had taken at least one block and
  // before it had taken all of it.
  bool partlyWritten() const { return write && failed() && blocksAcknowledged > 0 && !allSent; }

  // Keeps at most kShownBytes of each.
  void setExpected(std::span<const uint8_t> bytes);
  void setReceived(std::span<const uint8_t> bytes);

  static LinkFailure noAnswer();
  static LinkFailure stoppedAnswering(int block, int address);
  static LinkFailure unexpectedReply(int block, int address, std::span<const uint8_t> expected,
                                     std::span<const uint8_t> received);
  static LinkFailure portGone(const QString& device, const QString& systemReason);
  static LinkFailure portBusy(const QString& device, const QString& systemReason);
  static LinkFailure stoppedByUser();

  bool operator==(const LinkFailure&) const = default;
};

// The one line that says why, under the system's own failure text. Silence
// and wrong replies start with the system's receive texts (entries 175 and
// 176); `text` supplies them in the current language.
QString causeLine(const LinkFailure& failure, const TextTable& text);
// "The radio was partly written (N of M blocks, up to address XXXX); write it
// again before using it." Empty when the failure did not leave the radio
// partly written.
QString partlyWrittenLine(const LinkFailure& failure);
// Short name of a kind for logs and machine-readable output ("no-answer",
// "stopped-answering", "unexpected-reply", "port-gone", "port-busy",
// "stopped-by-user"; "none").
QString kindName(LinkFailure::Kind kind);

}  // namespace zr
