// The link's waits: DelayNms adds its 2 ms margin, and the desktop program's
// waiter serves events while it waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

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
  DelayNms(waiter, 5);
  EXPECT_TRUE(timerServed);

  QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { postedServed = true; }, Qt::QueuedConnection);
  waiter.serveEvents();
  EXPECT_TRUE(postedServed);
}

}  // namespace
}  // namespace zr
