#pragma once
// Hosts a RadioSimulator on a pseudo-terminal: a program that opens the
// slave device talks to the simulated radio as to a serial port.
//
// The host keeps the slave side open itself, so a client closing and
// reopening the device never leaves the master hung up, and the raw line
// settings survive between clients.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <span>
#include <string>

namespace zr {

class RadioSimulator;

class PtyHost {
 public:
  struct Options {
    // Deliver bytes at the speed of the real line, 9600 baud with 8 data
    // bits and 2 stop bits (11 bit times, about 1.146 ms a byte).
    bool paced = false;
    // A pause this long drops a partly received frame, as the radio does.
    int idleMs = 50;
    // Paced only: every `holdEvery`-th reply of several bytes stops twice on
    // its way, `holdMs` in all, as a reply does when the machine or an
    // adapter holds its bytes up.
    int holdEvery = 0;
    int holdMs = 0;
  };
  static constexpr std::chrono::nanoseconds kByteTime{11'000'000'000LL / 9600};

  explicit PtyHost(RadioSimulator& sim) : PtyHost(sim, Options{}) {}
  PtyHost(RadioSimulator& sim, Options options);
  ~PtyHost();
  PtyHost(const PtyHost&) = delete;
  PtyHost& operator=(const PtyHost&) = delete;

  // Creates the pseudo-terminal in raw mode. False, with errorText(), when
  // the system refuses.
  bool open();
  const std::string& slavePath() const { return slavePath_; }
  const std::string& errorText() const { return error_; }

  // Serves the line until stop() is called (from any thread) or `*stopFlag`
  // becomes non-zero (set by a signal handler); bytes already written to the
  // line by then are still served. Returns false when the pseudo-terminal
  // failed or was never opened.
  bool run(const volatile std::sig_atomic_t* stopFlag = nullptr);
  void stop();

 private:
  void serve(std::span<const uint8_t> bytes);
  void send(const uint8_t* data, size_t count);
  void close();

  RadioSimulator& sim_;
  Options options_;
  int master_ = -1;
  int slave_ = -1;
  int wake_[2] = {-1, -1};
  std::string slavePath_;
  std::string error_;
  std::atomic<bool> stopping_{false};
  std::chrono::steady_clock::time_point lineTime_{};
  int replies_ = 0;
};

}  // namespace zr
