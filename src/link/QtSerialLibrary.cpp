#include "link/QtSerialLibrary.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "link/PortDiagnosis.h"
#include "link/PortMap.h"

namespace zr {

namespace {

// The serial library's baud rate table, code = position ("9600" is code 12).
constexpr std::array<int, 20> kBaudRates = {50,   75,   110,   134,   150,   300,    600,    1200,   1800,   2400,
                                            4800, 7200, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

// Mode code = data-bits code (0..3 for 5..8 bits) + stop-bits code (0 or 4
// for 1 or 2) + parity code (0 none, 0x08 odd, 0x18 even, 0x28 mark, 0x38 space).
QSerialPort::DataBits dataBitsOfMode(int mode) {
  switch (mode & 0x03) {
    case 0: return QSerialPort::Data5;
    case 1: return QSerialPort::Data6;
    case 2: return QSerialPort::Data7;
    default: return QSerialPort::Data8;
  }
}

// Microseconds one character takes on the line: start bit, data bits,
// parity bit, stop bits.
int charMicrosOf(int baud, int mode) {
  const int bits = 1 + 5 + (mode & 0x03) + ((mode & 0x38) ? 1 : 0) + ((mode & 0x04) ? 2 : 1);
  return baud > 0 ? bits * 1000000 / baud : 0;
}

QSerialPort::StopBits stopBitsOfMode(int mode) { return (mode & 0x04) ? QSerialPort::TwoStop : QSerialPort::OneStop; }

QSerialPort::Parity parityOfMode(int mode) {
  switch (mode & 0x38) {
    case 0x08: return QSerialPort::OddParity;
    case 0x18: return QSerialPort::EvenParity;
    case 0x28: return QSerialPort::MarkParity;
    case 0x38: return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
  }
}

bool isPseudoTerminal(const QString& path) {
  const QString c = QFileInfo(path).canonicalFilePath();
  return (c.isEmpty() ? path : c).startsWith(QLatin1String("/dev/pts/"));
}

QString explainOpenFailure(const QString& path, const QSerialPort& serial) {
  OpenFailure failure = OpenFailure::Other;
  switch (serial.error()) {
    case QSerialPort::DeviceNotFoundError: failure = OpenFailure::NotFound; break;
    case QSerialPort::PermissionError: failure = OpenFailure::PermissionDenied; break;
    default: break;
  }
  return describeOpenFailure(path, failure, serial.errorString(), deviceFacts(path), currentUser());
}

}  // namespace

int baudRateOfCode(int code) {
  return code >= 0 && code < static_cast<int>(kBaudRates.size()) ? kBaudRates[static_cast<size_t>(code)] : 0;
}

QtSerialLibrary::QtSerialLibrary(PortMap& map, Waiter& waiter) : map_(map), waiter_(waiter) {}

QtSerialLibrary::~QtSerialLibrary() {
  for (Slot& s : slots_)
    if (s.serial && s.serial->isOpen()) s.serial->close();
}

QtSerialLibrary::Slot* QtSerialLibrary::openSlot(int port) {
  if (port < 1 || port > kPortCount) return nullptr;
  Slot& s = slots_[static_cast<size_t>(port - 1)];
  return s.serial && s.serial->isOpen() ? &s : nullptr;
}

QString QtSerialLibrary::ioError(int port) const {
  if (port < 1 || port > kPortCount) return {};
  return slots_[static_cast<size_t>(port - 1)].ioError;
}

QString QtSerialLibrary::deviceName(int port) const {
  const QString path = map_.devicePath(port);
  return path.isEmpty() ? SerialLibrary::deviceName(port) : path;
}

bool QtSerialLibrary::deviceFailed(Slot& s) {
  QSerialPort& p = *s.serial;
  switch (p.error()) {
    case QSerialPort::ResourceError:  // the device vanished (cable pulled, pseudo-terminal closed)
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
      s.ioError = p.errorString();
      p.clearError();
      return true;
    default:
      return false;
  }
}

QString QtSerialLibrary::openError(int port) const {
  if (port < 1 || port > kPortCount) return QStringLiteral("COM%1 is not a port number 1 to 16").arg(port);
  return slots_[static_cast<size_t>(port - 1)].openError;
}

bool QtSerialLibrary::sio_mayOpen(int port) {
  if (port < 1 || port > kPortCount) return false;
  Slot& s = slots_[static_cast<size_t>(port - 1)];
  const QString path = map_.devicePath(port);
  if (path.isEmpty()) {
    s.openError = QStringLiteral("COM%1 has no serial device on this machine").arg(port);
    return false;
  }
  s.openError = accessProblem(path);
  if (!s.openError.isEmpty()) return false;
  // A program that holds the port announces it with a lock file (UUCP style).
  const QString name = QFileInfo(path).fileName();
  // A lock whose program is gone (it crashed) is stale and holds nothing.
  const auto heldLock = [](const QString& lockPath) {
    QFile f(lockPath);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 pid = QString::fromLatin1(f.read(64)).trimmed().section(QLatin1Char('\n'), 0, 0).trimmed().toLongLong();
    return pid <= 0 || QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
  };
  for (const char* dir : {"/run/lock", "/var/lock"})
    if (heldLock(QStringLiteral("%1/LCK..%2").arg(QLatin1String(dir), name))) {
      s.openError = QStringLiteral("%1 is busy or locked (lock file %2/LCK..%3)").arg(path, QLatin1String(dir), name);
      return false;
    }
  return true;
}

bool QtSerialLibrary::sio_mayBeCable(int port) const {
  const PortMap::Entry& e = map_.entry(port);
  return !e.path.isEmpty() && (e.pinned || e.cableChip);
}

int QtSerialLibrary::sio_open(int port) {
  if (port < 1 || port > kPortCount) return kBadPort;
  Slot& s = slots_[static_cast<size_t>(port - 1)];
  const QString path = map_.devicePath(port);
  if (path.isEmpty()) {
    s.openError = QStringLiteral("COM%1 has no serial device on this machine").arg(port);
    return kBadPort;
  }
  if (s.serial && s.serial->isOpen()) {
    s.openError = QStringLiteral("%1 is already open").arg(path);
    return kOpenFailed;
  }
  s.serial = std::make_unique<QSerialPort>();
  s.serial->setPortName(path);
  s.pty = isPseudoTerminal(path);
  // Ask for the radio's line settings from the start, so that the open does
  // not first switch the line to another speed.
  s.serial->setBaudRate(9600);
  s.serial->setDataBits(QSerialPort::Data8);
  s.serial->setParity(QSerialPort::NoParity);
  s.serial->setStopBits(QSerialPort::TwoStop);
  s.serial->setFlowControl(QSerialPort::NoFlowControl);
  if (!s.serial->open(QIODevice::ReadWrite)) {
    s.openError = explainOpenFailure(path, *s.serial);
    s.serial.reset();
    return kOpenFailed;
  }
  s.openError.clear();
  s.ioError.clear();
  s.readTimeoutMs = 0;
  s.charMicros = charMicrosOf(9600, 0x03 | 0x04);
  return 0;
}

int QtSerialLibrary::sio_ioctl(int port, int baudCode, int modeCode) {
  Slot* s = openSlot(port);
  if (!s) return kNotOpen;
  const int baud = baudRateOfCode(baudCode);
  if (baud == 0) return kBadArgument;
  QSerialPort& p = *s->serial;
  s->charMicros = charMicrosOf(baud, modeCode);
  bool ok = p.setBaudRate(baud);
  ok = p.setDataBits(dataBitsOfMode(modeCode)) && ok;
  ok = p.setParity(parityOfMode(modeCode)) && ok;
  ok = p.setStopBits(stopBitsOfMode(modeCode)) && ok;
  ok = p.setFlowControl(QSerialPort::NoFlowControl) && ok;
  if (!ok) {
    // Pseudo-terminals accept some line settings and refuse others; a
    // pseudo-terminal has no line, so nothing is lost.
    p.clearError();
    return s->pty ? 0 : kBadArgument;
  }
  return 0;
}

int QtSerialLibrary::sio_flush(int port, int mode) {
  Slot* s = openSlot(port);
  if (!s) return kNotOpen;
  // Only the receive side is discarded: the link flushes before it sends, and
  // bytes of the previous frame still on their way out must reach the radio.
  if (mode == 0 || mode == 2) {
    QSerialPort& p = *s->serial;
    p.clear(QSerialPort::Input);
    p.readAll();
    if (deviceFailed(*s)) return kDeviceFailed;
    p.clearError();
  }
  return 0;
}

int QtSerialLibrary::sio_write(int port, const uint8_t* data, int count) {
  Slot* s = openSlot(port);
  if (!s) return kNotOpen;
  if (count <= 0) return 0;
  QSerialPort& p = *s->serial;
  const qint64 queued = p.write(reinterpret_cast<const char*>(data), count);
  if (queued < 0) return deviceFailed(*s) ? kDeviceFailed : kBadArgument;
  // Hand the bytes to the system now: the CLI runs no event loop that would
  // do it later. One byte takes about 1.15 ms at 9600 baud, 8N2.
  const int limitMs = 100 + 2 * count;
  QDeadlineTimer deadline(limitMs);
  while (p.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (!p.waitForBytesWritten(static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 1, kSliceMs))) &&
        p.error() != QSerialPort::NoError && p.error() != QSerialPort::TimeoutError) {
      if (deviceFailed(*s)) return kDeviceFailed;
      break;
    }
  }
  p.clearError();
  // The line carries the request at its own pace after the system took it.
  s->requestLeavesAt = std::chrono::steady_clock::now() +
                       std::chrono::microseconds(static_cast<qint64>(s->charMicros) * static_cast<qint64>(queued));
  return static_cast<int>(queued);
}

int QtSerialLibrary::sio_SetReadTimeouts(int port, int totalMs, int /*intervalMs*/) {
  Slot* s = openSlot(port);
  if (!s) return kNotOpen;
  s->readTimeoutMs = std::max(0, totalMs);
  return 0;
}

int QtSerialLibrary::sio_read(int port, uint8_t* buffer, int count) {
  Slot* s = openSlot(port);
  if (!s) return kNotOpen;
  if (count <= 0) return 0;
  QSerialPort& p = *s->serial;
  using Clock = std::chrono::steady_clock;
  const auto limit = std::chrono::milliseconds(s->readTimeoutMs);
  // The radio cannot answer before it has the whole request: the wait for
  // the reply counts from the moment the request's last byte has left.
  const auto started = std::max(Clock::now(), s->requestLeavesAt);
  // A reply that has begun is not cut off while it is still coming: each
  // byte gives the rest the limit again (a host that hands the bytes over
  // late, a USB adapter's packets, a busy machine). Only a line quiet for
  // the whole limit ends the read short, so a read lasts at most one limit
  // per byte asked for.
  auto lastByte = started;
  // The window is served once a slice while a reply comes in, not after
  // every byte: at 9600 baud a byte arrives each 1.1 ms, and serving the
  // window that often costs the desktop program more than the read itself.
  QDeadlineTimer nextServe(kSliceMs);
  // When the reply trickles in at the line's pace, the bytes still missing
  // cannot come faster than the line carries them: the read rests while
  // all but the last of them are on their way instead of waking for every
  // byte. A reply that arrives in bursts (a USB adapter's packets, a
  // pseudo-terminal) is read as it comes.
  QElapsedTimer sinceFirst;
  int firstBatch = 0;
  int got = 0;
  const auto take = [&] {
    if (p.bytesAvailable() <= 0) return;
    const qint64 r = p.read(reinterpret_cast<char*>(buffer) + got, count - got);
    if (r > 0) {
      got += static_cast<int>(r);
      lastByte = Clock::now();
    }
  };
  for (;;) {
    take();
    if (got >= count) break;
    const auto end = (got > 0 ? lastByte : started) + limit;
    qint64 left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) {
      // Time is up; but bytes the system already holds are not left
      // behind (the thread may have been held up while they arrived).
      if (p.waitForReadyRead(0)) continue;
      if (p.error() != QSerialPort::NoError && p.error() != QSerialPort::TimeoutError && deviceFailed(*s))
        return kDeviceFailed;
      p.clearError();
      break;
    }
    // Served only while bytes are still missing: the last byte is taken
    // at once, not after a repaint.
    if (nextServe.hasExpired()) {
      waiter_.serveEvents();
      nextServe.setRemainingTime(kSliceMs);
      left = std::max<qint64>(1, std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count());
    }
    if (got > 0 && !sinceFirst.isValid()) {
      sinceFirst.start();
      firstBatch = got;
    }
    qint64 restMs = 0;
    if (sinceFirst.isValid() && firstBatch <= 2 && s->charMicros > 0) {
      const qint64 lineCould = 2 + sinceFirst.nsecsElapsed() / 1000 / s->charMicros;
      if (got - firstBatch <= lineCould)
        restMs = std::min<qint64>({static_cast<qint64>(count - got - 1) * s->charMicros / 1000, left, kSliceMs});
    }
    bool arrived;
    if (restMs >= 2) {
      // The desktop program keeps answering its window meanwhile.
      waiter_.rest(static_cast<int>(restMs));
      arrived = p.waitForReadyRead(0);
    } else {
      // Sleep in the system until bytes arrive or the slice ends.
      arrived = p.waitForReadyRead(static_cast<int>(std::min<qint64>(left, kSliceMs)));
    }
    if (!arrived && p.error() != QSerialPort::NoError && p.error() != QSerialPort::TimeoutError) {
      // The device went away (cable pulled, pseudo-terminal closed): no
      // bytes will come, and waiting out the time limit would only hide it.
      if (deviceFailed(*s)) return kDeviceFailed;
      p.clearError();
      waiter_.wait(static_cast<int>(std::min<qint64>(left, kSliceMs)));
      continue;
    }
    p.clearError();
  }
  return got;
}

int QtSerialLibrary::sio_close(int port) {
  if (port < 1 || port > kPortCount) return kBadPort;
  Slot& s = slots_[static_cast<size_t>(port - 1)];
  if (!s.serial) return kNotOpen;
  if (s.serial->isOpen()) s.serial->close();
  s.serial.reset();
  return 0;
}

}  // namespace zr
