#include "link/Waiters.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

namespace zr {

void DelayNms(Waiter& waiter, int ms) { waiter.wait(ms + 2); }

void CliWaiter::wait(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void EventLoopWaiter::wait(int ms) { runLoop(ms, true); }

void EventLoopWaiter::rest(int ms) { runLoop(ms, false); }

void EventLoopWaiter::runLoop(int ms, bool portsToo) {
  if (!QCoreApplication::instance()) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  if (ms <= 0) {
    serveEvents();
    return;
  }
  // The loop sleeps in the event dispatcher until the timer (or an event)
  // wakes it: no processor time is spent while the line is quiet. Qt's timers
  // count whole milliseconds and round the remaining time up, so a timer for
  // the whole wait ends up to a millisecond late, twice a script. The loop
  // runs until a millisecond before the end; the rest is slept exactly.
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  if (ms > 1) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms - 1);
    loop.exec(portsToo ? QEventLoop::AllEvents : QEventLoop::ExcludeSocketNotifiers);
  } else {
    serveEvents();
  }
  std::this_thread::sleep_until(end);
}

void EventLoopWaiter::serveEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void VirtualWaiter::wait(int ms) {
  waits.push_back(ms);
  clock_.advance(ms);
  if (onWait) onWait(ms);
}

}  // namespace zr
