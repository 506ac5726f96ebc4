#include "link/FakeSerialLibrary.h"

#include "link/Waiters.h"
#include "base/RunError.h"

namespace zr {

QString hexText(const uint8_t* data, int count) {
  QString s;
  for (int i = 0; i < count; ++i) {
    if (i) s += u' ';
    s += QStringLiteral("%1").arg(data[i], 2, 16, QLatin1Char('0')).toUpper();
  }
  return s;
}

FakeSerialLibrary::Port& FakeSerialLibrary::port(int n) {
  if (n < 1 || n > kPortCount) throwSubscript("fake serial port", n, 1, kPortCount);
  return ports_[n - 1];
}

const FakeSerialLibrary::Port& FakeSerialLibrary::port(int n) const {
  if (n < 1 || n > kPortCount) throwSubscript("fake serial port", n, 1, kPortCount);
  return ports_[n - 1];
}

FakeSerialLibrary::Port* FakeSerialLibrary::find(int n) {
  return n >= 1 && n <= kPortCount ? &ports_[n - 1] : nullptr;
}

// Callers format a line only while calls are recorded: a long run with
// recording off would otherwise spend much of its time on texts nobody reads.
void FakeSerialLibrary::record(const QString& line) { calls << line; }

void FakeSerialLibrary::deliver(int n, const Bytes& bytes) {
  Port& p = port(n);
  p.rx.insert(p.rx.end(), bytes.begin(), bytes.end());
}

int FakeSerialLibrary::sio_open(int n) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("open %1").arg(n));
  if (!p) return kBadPort;
  ++p->openAttempts;
  if (!p->opens || p->isOpen) return kNotOpen;  // a port already open is busy
  p->isOpen = true;
  ++p->opened;
  p->rx.clear();
  return 0;
}

QString FakeSerialLibrary::openError(int n) const {
  if (n < 1 || n > kPortCount) return {};
  const Port& p = port(n);
  return p.opens ? QString() : p.openError;
}

int FakeSerialLibrary::sio_ioctl(int n, int baudCode, int modeCode) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("ioctl %1 %2 %3").arg(n).arg(baudCode).arg(modeCode));
  if (!p || !p->isOpen) return kNotOpen;
  p->baudCode = baudCode;
  p->modeCode = modeCode;
  return 0;
}

int FakeSerialLibrary::sio_flush(int n, int mode) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("flush %1 %2").arg(n).arg(mode));
  if (!p || !p->isOpen) return kNotOpen;
  if (p->gone) return kGone;
  ++p->flushes;
  if (mode == 0 || mode == 2) p->rx.clear();
  return 0;
}

int FakeSerialLibrary::sio_write(int n, const uint8_t* data, int count) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("write %1 %2").arg(n).arg(hexText(data, count)));
  if (!p || !p->isOpen) return kNotOpen;
  if (p->gone) return kGone;
  if (count <= 0) return 0;
  const Bytes bytes(data, data + count);
  p->written.insert(p->written.end(), bytes.begin(), bytes.end());
  p->writes.push_back(bytes);
  if (p->echo) p->rx.insert(p->rx.end(), bytes.begin(), bytes.end());
  Bytes reply;
  if (p->onWrite) {
    reply = p->onWrite(bytes);
  } else if (!p->replies.empty()) {
    reply = std::move(p->replies.front());
    p->replies.pop_front();
  }
  p->rx.insert(p->rx.end(), reply.begin(), reply.end());
  return count;
}

int FakeSerialLibrary::sio_SetReadTimeouts(int n, int totalMs, int intervalMs) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("timeouts %1 %2 %3").arg(n).arg(totalMs).arg(intervalMs));
  if (!p || !p->isOpen) return kNotOpen;
  p->readTimeoutMs = totalMs;
  return p->setTimeoutsResult;
}

int FakeSerialLibrary::sio_read(int n, uint8_t* buffer, int count) {
  Port* p = find(n);
  if (!p || !p->isOpen) {
    if (recordCalls) record(QStringLiteral("read %1 %2->%3").arg(n).arg(count).arg(kNotOpen));
    return kNotOpen;
  }
  if (p->gone) {
    if (recordCalls) record(QStringLiteral("read %1 %2->%3").arg(n).arg(count).arg(kGone));
    return kGone;
  }
  int got = 0;
  while (got < count && !p->rx.empty()) {
    buffer[got++] = p->rx.front();
    p->rx.pop_front();
  }
  // A short read is one that waited out its whole time limit.
  if (got < count && clock_) clock_->advance(p->readTimeoutMs);
  if (recordCalls) record(QStringLiteral("read %1 %2->%3").arg(n).arg(count).arg(got));
  return got;
}

QString FakeSerialLibrary::ioError(int n) const {
  return n >= 1 && n <= kPortCount && port(n).gone ? QStringLiteral("Input/output error") : QString();
}

int FakeSerialLibrary::sio_close(int n) {
  Port* p = find(n);
  if (recordCalls) record(QStringLiteral("close %1").arg(n));
  if (!p || !p->isOpen) return kNotOpen;
  p->isOpen = false;
  ++p->closed;
  p->rx.clear();
  return 0;
}

}  // namespace zr
