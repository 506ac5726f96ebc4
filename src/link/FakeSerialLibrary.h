#pragma once
// A serial library without hardware, for tests: per port it decides whether
// the port opens, answers every write through a callback or a queue of
// replies, can echo what is written (a single-wire cable), and records
// everything written, flushed, opened and closed. Reads never sleep: a read
// that finds fewer bytes than asked for returns what there is and moves the
// virtual clock on by the read time limit, as a real line would have waited.
#include <QStringList>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "link/SerialLibrary.h"

namespace zr {

class VirtualClock;

using Bytes = std::vector<uint8_t>;

class FakeSerialLibrary : public SerialLibrary {
 public:
  static constexpr int kPortCount = 16;
  static constexpr int kBadPort = -1;   // not a port number 1..16
  static constexpr int kNotOpen = -2;   // the port is not open (or does not open)
  static constexpr int kGone = -5;      // the device went away

  struct Port {
    // Set up by the test.
    bool opens = false;        // sio_open succeeds
    bool echo = false;         // every written byte comes back before the reply
    // Reply to one write; takes precedence over `replies`.
    std::function<Bytes(const Bytes& written)> onWrite;
    // Replies handed out one per write while the queue lasts.
    std::deque<Bytes> replies;
    int setTimeoutsResult = 0;  // what sio_SetReadTimeouts returns
    QString openError;          // what openError() tells while the port does not open
    bool cable = true;          // sio_mayBeCable: may be a radio's programming cable
    // The device went away (cable pulled): every flush, write and read of
    // the open port fails from now on with "Input/output error".
    bool gone = false;

    // State and records.
    bool isOpen = false;
    std::deque<uint8_t> rx;     // bytes waiting to be read
    Bytes written;              // every byte written, in order
    std::vector<Bytes> writes;  // each write
    int opened = 0;             // successful opens
    int openAttempts = 0;
    int closed = 0;
    int flushes = 0;
    int readTimeoutMs = 0;
    int baudCode = -1, modeCode = -1;  // last sio_ioctl
  };

  explicit FakeSerialLibrary(VirtualClock* clock = nullptr) : clock_(clock) {}

  bool sio_mayBeCable(int n) const override { return n >= 1 && n <= kPortCount && port(n).cable; }

  // Port 1..16; anything else raises the index failure.
  Port& port(int n);
  const Port& port(int n) const;
  // Puts bytes into a port's receive buffer as if the line had delivered them.
  void deliver(int n, const Bytes& bytes);

  // Every call in order, for example "open 3", "ioctl 3 12 7", "flush 3 2",
  // "write 3 06", "timeouts 3 101 0", "read 3 1->1", "close 3".
  QStringList calls;
  // Whether calls are recorded (a long run may switch it off).
  bool recordCalls = true;

  int sio_open(int port) override;
  QString openError(int port) const override;
  QString ioError(int port) const override;
  int sio_ioctl(int port, int baudCode, int modeCode) override;
  int sio_flush(int port, int mode) override;
  int sio_write(int port, const uint8_t* data, int count) override;
  int sio_SetReadTimeouts(int port, int totalMs, int intervalMs) override;
  int sio_read(int port, uint8_t* buffer, int count) override;
  int sio_close(int port) override;

 private:
  Port* find(int n);
  void record(const QString& line);

  std::array<Port, kPortCount> ports_{};
  VirtualClock* clock_;
};

// Hex text of bytes, "50 52 4F" (for call records and test messages).
QString hexText(const uint8_t* data, int count);
inline QString hexText(const Bytes& b) { return hexText(b.data(), static_cast<int>(b.size())); }

}  // namespace zr
