#pragma once
// The waits of the radio link. `DelayNms(m)` waits m + 2 milliseconds, the
// margin the protocol's timing was tuned with. How a wait is spent depends on
// the front end: the desktop program keeps serving its window, the CLI
// sleeps, tests advance a virtual clock and never sleep.
#include <cstdint>
#include <functional>
#include <vector>

#include "link/SerialLibrary.h"

namespace zr {

// The protocol's small delay: at least `ms` + 2 milliseconds.
void DelayNms(Waiter& waiter, int ms);

// The CLI: sleeps on the calling thread; there are no events to serve.
class CliWaiter : public Waiter {
 public:
  void wait(int ms) override;
};

// The desktop program: runs a local event loop until a precise timer fires,
// so the stop box, the blinking light and close requests are served while
// the link waits. Without a running application object it sleeps instead.
class EventLoopWaiter : public Waiter {
 public:
  void wait(int ms) override;
  void serveEvents() override;
  // As wait, but a port's read notifications do not wake the loop: a reply
  // trickling in would otherwise wake it for every byte.
  void rest(int ms) override;

 private:
  void runLoop(int ms, bool portsToo);
};

// A millisecond clock that only moves when told to (tests and fakes share one).
class VirtualClock {
 public:
  int64_t now() const { return now_; }
  void advance(int64_t ms) {
    if (ms > 0) now_ += ms;
  }

 private:
  int64_t now_ = 0;
};

// Test waiter: every wait advances the virtual clock at once and is recorded.
// `onWait` runs after the clock moved (a test can tick the stop box there, the
// way a user's click would be served during a real wait).
class VirtualWaiter : public Waiter {
 public:
  explicit VirtualWaiter(VirtualClock& clock) : clock_(clock) {}
  void wait(int ms) override;
  void serveEvents() override { ++served; }

  VirtualClock& clock() { return clock_; }
  std::vector<int> waits;  // every wait asked for, in order
  int served = 0;          // calls of serveEvents
  std::function<void(int ms)> onWait;

 private:
  VirtualClock& clock_;
};

}  // namespace zr
