#include "link/LinkFailure.h"

#include <QStringList>
#include <algorithm>

#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {

QString hexBytes(const std::array<uint8_t, LinkFailure::kShownBytes>& bytes, int count) {
  if (count == 0) return QStringLiteral("nothing");
  QStringList parts;
  for (int i = 0; i < count; ++i)
    parts << QStringLiteral("%1").arg(bytes[static_cast<size_t>(i)], 2, 16, QLatin1Char('0')).toUpper();
  return parts.join(u' ');
}

QString addressHex(int address) { return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper(); }

// " at block 12 (address 00B0)", or nothing when the failure is not at a block.
QString where(const LinkFailure& f) {
  if (f.block > 0 && f.address >= 0)
    return QStringLiteral(" at block %1 (address %2)").arg(f.block).arg(addressHex(f.address));
  if (f.address >= 0) return QStringLiteral(" at address %1").arg(addressHex(f.address));
  return {};
}

int keep(std::span<const uint8_t> from, std::array<uint8_t, LinkFailure::kShownBytes>& to) {
  const int n = static_cast<int>(std::min<size_t>(from.size(), to.size()));
  std::copy_n(from.begin(), n, to.begin());
  return n;
}

}  // namespace

void LinkFailure::setExpected(std::span<const uint8_t> bytes) { expectedCount = keep(bytes, expected); }
void LinkFailure::setReceived(std::span<const uint8_t> bytes) { receivedCount = keep(bytes, received); }

LinkFailure LinkFailure::noAnswer() {
  LinkFailure f;
  f.kind = Kind::NoAnswer;
  return f;
}

LinkFailure LinkFailure::stoppedAnswering(int block, int address) {
  LinkFailure f;
  f.kind = Kind::StoppedAnswering;
  f.block = block;
  f.address = address;
  return f;
}

LinkFailure LinkFailure::unexpectedReply(int block, int address, std::span<const uint8_t> expected,
                                         std::span<const uint8_t> received) {
  LinkFailure f;
  f.kind = Kind::UnexpectedReply;
  f.block = block;
  f.address = address;
  f.setExpected(expected);
  f.setReceived(received);
  return f;
}

LinkFailure LinkFailure::portGone(const QString& device, const QString& systemReason) {
  LinkFailure f;
  f.kind = Kind::PortGone;
  f.device = device;
  f.systemReason = systemReason;
  return f;
}

LinkFailure LinkFailure::portBusy(const QString& device, const QString& systemReason) {
  LinkFailure f;
  f.kind = Kind::PortBusy;
  f.device = device;
  f.systemReason = systemReason;
  return f;
}

LinkFailure LinkFailure::stoppedByUser() {
  LinkFailure f;
  f.kind = Kind::StoppedByUser;
  return f;
}

QString causeLine(const LinkFailure& f, const TextTable& text) {
  const QString device = f.device.isEmpty() ? QStringLiteral("the port") : f.device;
  const QString because = f.systemReason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(f.systemReason);
  switch (f.kind) {
    case LinkFailure::Kind::None: return {};
    case LinkFailure::Kind::NoAnswer:
      return text.SoftFace(kTxtNoReceiveData) +
             QStringLiteral(" No answer from the radio: is it switched on and the cable in?");
    case LinkFailure::Kind::StoppedAnswering:
      return text.SoftFace(kTxtNoReceiveData) + QStringLiteral(" The radio stopped answering%1.").arg(where(f));
    case LinkFailure::Kind::UnexpectedReply:
      return text.SoftFace(kTxtReceiveDataError) +
             QStringLiteral(" The radio answered something else%1: expected %2, received %3.")
                 .arg(where(f), hexBytes(f.expected, f.expectedCount), hexBytes(f.received, f.receivedCount));
    case LinkFailure::Kind::PortGone:
      return QStringLiteral("%1 went away%2: is the cable still plugged in? Plug it in and start again.")
          .arg(device, because);
    case LinkFailure::Kind::PortBusy:
      // The port layer's own account names the device and what to do.
      if (!f.systemReason.isEmpty()) return f.systemReason;
      return QStringLiteral("%1 is busy: close the program that uses it, or choose another port.").arg(device);
    case LinkFailure::Kind::StoppedByUser: return QStringLiteral("Stopped by the user.");
  }
  return {};
}

QString partlyWrittenLine(const LinkFailure& f) {
  if (!f.partlyWritten()) return {};
  return QStringLiteral("The radio was partly written (%1 of %2 blocks, up to address %3); write it again before using it.")
      .arg(f.blocksAcknowledged)
      .arg(f.blocksTotal)
      .arg(addressHex(std::max(f.lastAcknowledgedAddress, 0)));
}

QString kindName(LinkFailure::Kind kind) {
  switch (kind) {
    case LinkFailure::Kind::None: return QStringLiteral("none");
    case LinkFailure::Kind::NoAnswer: return QStringLiteral("no-answer");
    case LinkFailure::Kind::StoppedAnswering: return QStringLiteral("stopped-answering");
    case LinkFailure::Kind::UnexpectedReply: return QStringLiteral("unexpected-reply");
    case LinkFailure::Kind::PortGone: return QStringLiteral("port-gone");
    case LinkFailure::Kind::PortBusy: return QStringLiteral("port-busy");
    case LinkFailure::Kind::StoppedByUser: return QStringLiteral("stopped-by-user");
  }
  return {};
}

}  // namespace zr
