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

void EventLoopWaiter::wait(int ms) {
  if (!QCoreApplication::instance()) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  if (ms <= 0) {
    serveEvents();
    return;
  }
  // The loop sleeps in the event dispatcher until the timer (or an event)
  // wakes it: no processor time is spent while the line is quiet. The
  // dispatcher's timers count whole milliseconds and fire up to one late, and
  // the protocol waits hundreds of times per transfer: the loop serves the
  // window until a millisecond before the end, and the rest is slept to the
  // exact moment.
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  if (ms > 1) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms - 1);
    loop.exec();
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
