// The QSerialPort serial library on a real pseudo-terminal pair: the test
// holds the master side and plays the radio's end of the line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <QString>
#include <chrono>
#include <functional>
#include <thread>

#include "link/PortMap.h"
#include "link/QtSerialLibrary.h"
#include "link/Waiters.h"

namespace zr {
namespace {

class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* name = ptsname(master_);
    if (name) slave_ = QString::fromLocal8Bit(name);
  }
  ~PtyPair() {
    if (master_ >= 0) ::close(master_);
  }
  void hangUp() {
    ::close(master_);
    master_ = -1;
  }
  bool ok() const { return master_ >= 0 && !slave_.isEmpty(); }
  const QString& slavePath() const { return slave_; }

  void send(const std::vector<uint8_t>& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Reads up to `count` bytes, waiting at most `ms` for each.
  std::vector<uint8_t> receive(size_t count, int ms = 2000) const {
    std::vector<uint8_t> out;
    while (out.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, ms) <= 0) break;
      uint8_t buf[64];
      const ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - out.size()));
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

 private:
  int master_ = -1;
  QString slave_;
};

// Counts the slices a read spends waiting for bytes. `onServe` runs where
// the desktop program would serve its window: a test plays the radio's end
// there, in step with the read.
class CountingWaiter : public Waiter {
 public:
  void wait(int ms) override {
    ++waits;
    CliWaiter().wait(ms);
  }
  void serveEvents() override {
    ++served;
    if (onServe) onServe();
  }
  int waits = 0;
  int served = 0;
  std::function<void()> onServe;
};

struct PtyFixture : ::testing::Test {
  PtyPair pty;
  PortMap map{[] { return std::vector<SerialDevice>{}; }};
  CountingWaiter waiter;
  QtSerialLibrary sio{map, waiter};
  int port = 0;

  void SetUp() override {
    ASSERT_TRUE(pty.ok()) << "no pseudo-terminal available";
    port = map.assign(pty.slavePath());
    ASSERT_EQ(port, 1);
    ASSERT_EQ(sio.sio_open(port), 0) << sio.openError(port).toStdString();
    EXPECT_EQ(sio.sio_ioctl(port, 12, 7), 0);
  }
  void TearDown() override { sio.sio_close(port); }
};

TEST_F(PtyFixture, BytesTravelBothWays) {
  pty.send({0x06, 0x29, 0x03});
  ASSERT_EQ(sio.sio_SetReadTimeouts(port, 5000, 0), 0);
  uint8_t buf[3] = {};
  EXPECT_EQ(sio.sio_read(port, buf, 3), 3);
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 3), (std::vector<uint8_t>{0x06, 0x29, 0x03}));
  // All three bytes were there: the read came back without sitting out its
  // five-second limit (at 10 ms a slice that would be some 500 slices).
  EXPECT_LE(waiter.served, 2);

  const std::vector<uint8_t> frame = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
  EXPECT_EQ(sio.sio_write(port, frame.data(), static_cast<int>(frame.size())), 7);
  EXPECT_EQ(pty.receive(frame.size()), frame);
}

TEST_F(PtyFixture, ShortReadReturnsWhatArrivedWhenTheLimitRunsOut) {
  pty.send({0x06});
  sio.sio_SetReadTimeouts(port, 60, 0);
  uint8_t buf[4] = {};
  EXPECT_EQ(sio.sio_read(port, buf, 4), 1);
  EXPECT_EQ(buf[0], 0x06);
  // It waited in slices of the device wait, serving events between them,
  // not in a busy loop.
  EXPECT_GE(waiter.served, 1);
  EXPECT_LE(waiter.served, 20);
}

TEST_F(PtyFixture, AReplyTricklingInAtTheLinesPaceIsReadWholeAndInOrder) {
  // The radio's end sends a byte every 1.2 ms (9600 baud, 8N2), stops for
  // 30 ms in the middle, then sends the rest. The read sleeps while bytes are
  // on their way; it must still take every byte, in order, and keep serving
  // the window.
  std::vector<uint8_t> reply(40);
  for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(0x30 + i);
  sio.sio_SetReadTimeouts(port, 2000, 0);
  std::thread radio([&] {
    for (size_t i = 0; i < reply.size(); ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(i == 25 ? 30000 : 1200));
      pty.send({reply[i]});
    }
  });
  std::vector<uint8_t> got(reply.size());
  const int n = sio.sio_read(port, got.data(), static_cast<int>(got.size()));
  radio.join();
  EXPECT_EQ(n, static_cast<int>(reply.size()));
  EXPECT_EQ(got, reply);
  EXPECT_GE(waiter.served, 3);  // some 80 ms of reply: the window was served meanwhile

  // A reply that comes all at once is read at once.
  waiter.served = 0;
  pty.send(reply);
  EXPECT_EQ(sio.sio_read(port, got.data(), static_cast<int>(got.size())), static_cast<int>(reply.size()));
  EXPECT_EQ(got, reply);
  EXPECT_LE(waiter.served, 1);
}

// A reply is not thrown away because the program looked at the clock before
// it looked at the line. Each case below once cost a restart of the whole
// read from its handshake: seconds of blocks read again for one late reply.
TEST_F(PtyFixture, AReplyThatCameWhileTheProgramWasHeldUpIsTakenAfterTheLimit) {
  // The whole reply is in the system when the program gets back to the read,
  // after its limit (a busy machine held the thread).
  const std::vector<uint8_t> reply = {0x29, 0x01, 0x20, 0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  pty.send(reply);
  sio.sio_SetReadTimeouts(port, 0, 0);
  std::vector<uint8_t> got(reply.size());
  EXPECT_EQ(sio.sio_read(port, got.data(), static_cast<int>(got.size())), static_cast<int>(reply.size()));
  EXPECT_EQ(got, reply);
}

TEST_F(PtyFixture, AReplyStillComingWhenTheLimitRunsOutIsReadToItsEnd) {
  // The radio's end hands its reply over one byte per slice of the read (a
  // late host, a slow adapter): it is still coming, byte after byte, when
  // the limit runs out. A line that was never quiet for the limit does not
  // end the read.
  std::vector<uint8_t> reply(24);
  for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(0xA0 + i);
  size_t sent = 0;
  waiter.onServe = [&] {
    if (sent < reply.size()) pty.send({reply[sent++]});
  };
  // A slice is at least 10 ms, so the 24 bytes take at least 240 ms.
  sio.sio_SetReadTimeouts(port, 200, 0);
  std::vector<uint8_t> got(reply.size());
  EXPECT_EQ(sio.sio_read(port, got.data(), static_cast<int>(got.size())), static_cast<int>(reply.size()));
  EXPECT_EQ(got, reply);

  // Silence after part of a reply still ends the read with what came.
  waiter.onServe = nullptr;
  pty.send({0x29, 0x01});
  sio.sio_SetReadTimeouts(port, 60, 0);
  EXPECT_EQ(sio.sio_read(port, got.data(), 4), 2);
}

TEST_F(PtyFixture, ReadFromAVanishedLineFailsAtOnceWithTheSystemsReason) {
  pty.hangUp();  // the cable is pulled
  sio.sio_SetReadTimeouts(port, 60, 0);
  uint8_t buf[1] = {};
  EXPECT_EQ(sio.sio_read(port, buf, 1), QtSerialLibrary::kDeviceFailed);
  EXPECT_FALSE(sio.ioError(port).isEmpty());
  EXPECT_LE(waiter.waits + waiter.served, 20);
}

TEST_F(PtyFixture, FlushDiscardsWhatWaitsInTheReceiveBuffer) {
  pty.send({0x11, 0x22});
  // Let the bytes reach the port first.
  sio.sio_SetReadTimeouts(port, 50, 0);
  uint8_t first = 0;
  ASSERT_EQ(sio.sio_read(port, &first, 1), 1);
  EXPECT_EQ(sio.sio_flush(port, 2), 0);
  uint8_t buf[1] = {};
  EXPECT_EQ(sio.sio_read(port, buf, 1), 0);
}

TEST_F(PtyFixture, OpenFailuresAreReportedNotFatal) {
  EXPECT_NE(sio.sio_open(port), 0);  // already open
  EXPECT_NE(sio.sio_open(2), 0);     // no device has this number
  EXPECT_FALSE(sio.openError(2).isEmpty());
  EXPECT_NE(sio.sio_open(0), 0);
  uint8_t b = 0;
  EXPECT_LT(sio.sio_read(2, &b, 1), 0);  // not open

  const int missing = map.assign(QStringLiteral("/dev/zr417-no-such-device"));
  EXPECT_NE(sio.sio_open(missing), 0);
  EXPECT_TRUE(sio.openError(missing).contains(QStringLiteral("/dev/zr417-no-such-device")));
}

}  // namespace
}  // namespace zr
