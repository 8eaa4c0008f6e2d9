// View timers on the interface thread: ticks arrive there and only there,
// a busy thread gets one tick rather than a backlog, and a timer that is
// gone never ticks again, not even with a tick already queued.
#include "platform/window/view_timer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vellum::test {
namespace {

using namespace std::chrono_literals;

TEST(ViewTimer, PreciseTicksRunOnTheInterfaceThread)
{
    int ticks = 0;
    bool elsewhere = false;
    auto timer = platform::ViewTimer::Start(1, true, [&] {
        ++ticks;
        elsewhere = elsewhere || QThread::currentThread() != QCoreApplication::instance()->thread();
    });
    ASSERT_NE(timer, nullptr);
    for (QDeadlineTimer deadline(10s); ticks < 5 && !deadline.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_GE(ticks, 5);
    EXPECT_FALSE(elsewhere);

    // Busy for a long while: one tick waits, not one per period.
    std::this_thread::sleep_for(60ms);
    const int before = ticks;
    QCoreApplication::processEvents();
    EXPECT_GE(ticks - before, 1);
    EXPECT_LE(ticks - before, 2);

    // A tick queued while the timer still ran is dropped once it is gone.
    std::this_thread::sleep_for(20ms);
    timer.reset();
    const int atStop = ticks;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(20ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, atStop);
}

TEST(ViewTimer, StartsOnlyOnTheInterfaceThread)
{
    std::unique_ptr<platform::ViewTimer> fromWorker;
    std::thread([&] { fromWorker = platform::ViewTimer::Start(10, true, [] {}); }).join();
    EXPECT_EQ(fromWorker, nullptr);
    EXPECT_EQ(platform::ViewTimer::Start(10, false, nullptr), nullptr);
}

} // namespace
} // namespace vellum::test
