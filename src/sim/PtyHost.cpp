#include "sim/PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "sim/RadioSimulator.h"

namespace zr {

namespace {

constexpr int kHangupPauseMs = 20;
constexpr int kWriteStallMs = 200;  // a client that reads nothing for this long loses the bytes

std::string errnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool makeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  t.c_cflag |= CSTOPB | CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

PtyHost::PtyHost(RadioSimulator& sim, Options options) : sim_(sim), options_(options) {}

PtyHost::~PtyHost() { close(); }

void PtyHost::close() {
  for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

bool PtyHost::open() {
  close();
  if (::pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) {
    error_ = errnoText("pipe");
    return false;
  }
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    error_ = errnoText("posix_openpt");
    close();
    return false;
  }
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error_ = errnoText("grantpt/unlockpt");
    close();
    return false;
  }
  const char* name = ptsname(master_);
  if (!name) {
    error_ = errnoText("ptsname");
    close();
    return false;
  }
  slavePath_ = name;
  // Our own hold on the slave: the master then never reports a hang-up
  // between clients, and the line settings stay as set here.
  slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) {
    error_ = errnoText("open slave");
    close();
    return false;
  }
  // Raw line: no echo, no line editing, no translation of any byte.
  if (!makeRaw(master_) || !makeRaw(slave_)) {
    error_ = errnoText("tcsetattr");
    close();
    return false;
  }
  const int flags = fcntl(master_, F_GETFL);
  if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
    error_ = errnoText("fcntl");
    close();
    return false;
  }
  stopping_ = false;
  return true;
}

void PtyHost::stop() {
  stopping_ = true;
  if (wake_[1] >= 0) {
    const uint8_t b = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], &b, 1);
  }
}

bool PtyHost::run(const volatile std::sig_atomic_t* stopFlag) {
  if (master_ < 0) {
    if (error_.empty()) error_ = "pseudo-terminal not open";
    return false;
  }
  std::vector<uint8_t> buf(512);
  auto stopped = [&] { return stopping_.load() || (stopFlag && *stopFlag); };
  while (!stopped()) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    const int rc = ::poll(fds, 2, options_.idleMs);
    if (rc < 0) {
      if (errno == EINTR) continue;  // a signal: the loop condition decides
      error_ = errnoText("poll");
      return false;
    }
    if (rc == 0) {
      sim_.lineIdle();
      continue;
    }
    if (fds[1].revents & POLLIN) {
      uint8_t drain[16];
      while (::read(wake_[0], drain, sizeof drain) > 0) {
      }
      continue;
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t n = ::read(master_, buf.data(), buf.size());
      if (n > 0) {
        serve(std::span<const uint8_t>(buf.data(), static_cast<size_t>(n)));
        continue;
      }
      if (n < 0 && errno == EAGAIN) continue;
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLIN)) {
      // No client on the line (or it just went away): wait for the next one.
      sim_.lineIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(kHangupPauseMs));
    }
  }
  // Bytes already on the line when the stop came are still taken in, so a
  // client's last frames (the end frames need no answer) are not lost.
  for (;;) {
    const ssize_t n = ::read(master_, buf.data(), buf.size());
    if (n <= 0) break;
    serve(std::span<const uint8_t>(buf.data(), static_cast<size_t>(n)));
  }
  return true;
}

void PtyHost::serve(std::span<const uint8_t> bytes) {
  if (!options_.paced) {
    const auto out = sim_.feed(bytes);
    if (!out.empty()) send(out.data(), out.size());
    return;
  }
  // Paced: every byte the radio receives or sends takes one byte time on the
  // line; the cable's echo travels alongside the received byte. The line
  // keeps its own schedule from the moment bytes arrive: a wake-up that
  // comes late on a busy computer is made up on the next bytes, as a real
  // line carries its bytes at the baud rate whatever the computers at its
  // ends are doing. Only an idle line starts again from now.
  lineTime_ = std::max(lineTime_, std::chrono::steady_clock::now());
  for (uint8_t b : bytes) {
    lineTime_ += kByteTime;
    std::this_thread::sleep_until(lineTime_);
    const auto out = sim_.feed(b);
    size_t from = 0;
    if (sim_.echo() && !out.empty()) {
      send(out.data(), 1);
      from = 1;
    }
    // Only a reply of several bytes can be held up on its way.
    const bool hold = out.size() >= from + 2 && options_.holdEvery > 0 && ++replies_ % options_.holdEvery == 0;
    for (size_t k = from; k < out.size(); ++k) {
      // Two pauses, a third and two thirds into the reply, half the hold each.
      const size_t n = out.size() - from;
      if (hold && (k == from + n / 3 || k == from + 2 * n / 3) && k > from)
        lineTime_ += std::chrono::milliseconds(options_.holdMs / 2);
      lineTime_ += kByteTime;
      std::this_thread::sleep_until(lineTime_);
      send(&out[k], 1);
    }
  }
}

void PtyHost::send(const uint8_t* data, size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(master_, data, count);
    if (n > 0) {
      data += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{master_, POLLOUT, 0};
      if (::poll(&p, 1, kWriteStallMs) > 0 && !(p.revents & (POLLERR | POLLHUP))) continue;
    }
    return;  // nobody takes the bytes: the line drops them
  }
}

}  // namespace zr
