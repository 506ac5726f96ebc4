// The link's waits: DelayNms adds its 2 ms margin, and the desktop program's
// waiter serves events while it waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

#include "link/Waiters.h"

namespace zr {
namespace {

TEST(DelayNms, WaitsTwoMillisecondsMoreThanAsked) {
  VirtualClock clock;
  VirtualWaiter waiter(clock);
  for (int ms : {1, 3, 5, 10, 15, 50}) DelayNms(waiter, ms);
  EXPECT_EQ(waiter.waits, (std::vector<int>{3, 5, 7, 12, 17, 52}));
  EXPECT_EQ(clock.now(), 3 + 5 + 7 + 12 + 17 + 52);
}

TEST(EventLoopWaiter, ServesEventsWhileItWaits) {
  EventLoopWaiter waiter;
  bool timerServed = false, postedServed = false;
  QTimer::singleShot(0, [&] { timerServed = true; });  // a click or a blink during the wait
  const auto start = std::chrono::steady_clock::now();
  DelayNms(waiter, 5);
  EXPECT_TRUE(timerServed);
  // Never shorter than asked (the radio needs the whole pause), also with
  // the last millisecond slept outside the event loop.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(7));
  for (int ms : {0, 1, 2}) {
    const auto t0 = std::chrono::steady_clock::now();
    waiter.wait(ms);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(ms)) << ms;
  }

  QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { postedServed = true; }, Qt::QueuedConnection);
  waiter.serveEvents();
  EXPECT_TRUE(postedServed);
}

}  // namespace
}  // namespace zr
