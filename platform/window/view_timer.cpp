// View timers. A window timer is a QTimer of the interface thread. A
// precise timer keeps its period on a thread of its own with the steady
// clock and hands each tick to the interface thread as a queued call; at
// most one tick waits there at a time, so a busy interface thread gets the
// next tick when it is free instead of a backlog. Destroying a timer stops
// its thread, and a tick already queued finds the timer stopped and does
// nothing. Timers belong to views, which all go before the application.
#include "platform/window/view_timer.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vellum::platform {

namespace {

// The handheld's shortest window-timer interval; shorter ones, 0 among
// them, are raised to it, so a script asking for 0 cannot keep the event
// loop busy with nothing but ticks.
constexpr uint32_t shortestWindowInterval = 10;

bool ticksHeld = false;

class WindowTimer final : public ViewTimer {
public:
    WindowTimer(uint32_t ms, std::function<void()> tick)
    {
        timer.setInterval(static_cast<int>(std::clamp<uint32_t>(ms, shortestWindowInterval, INT_MAX)));
        QObject::connect(&timer, &QTimer::timeout, [tick = std::move(tick)] {
            if (!ticksHeld) tick();
        });
        timer.start();
    }

private:
    QTimer timer;
};

class PreciseTimer final : public ViewTimer {
public:
    // Ticks are queued to receiver, an object of the interface thread that
    // outlives the timer (the application).
    PreciseTimer(uint32_t ms, std::function<void()> tick, QObject* receiver_)
        : state(std::make_shared<State>(std::move(tick))), period(std::max<uint32_t>(ms, 1)), receiver(receiver_)
    {
        worker = std::thread([this] { Run(); });
    }

    ~PreciseTimer() override
    {
        state->stopped = true;
        {
            const std::lock_guard lock(mutex);
            stopRequested = true;
        }
        wake.notify_one();
        worker.join();
    }

private:
    // What a queued tick needs; shared, so a tick still queued when the
    // timer goes finds it intact and stopped.
    struct State {
        explicit State(std::function<void()> tick_) : tick(std::move(tick_)) {}
        std::function<void()> tick;
        std::atomic<bool> stopped = false;
        std::atomic<bool> pending = false;
    };

    void Run()
    {
        using Clock = std::chrono::steady_clock;
        auto next = Clock::now() + period;
        std::unique_lock lock(mutex);
        while (!wake.wait_until(lock, next, [this] { return stopRequested; })) {
            if (!state->pending.exchange(true)) {
                QMetaObject::invokeMethod(
                    receiver,
                    [shared = state] {
                        shared->pending = false;
                        if (!shared->stopped && !ticksHeld) shared->tick();
                    },
                    Qt::QueuedConnection);
            }
            // Fixed rate; after a stall (a suspended machine, a loaded one)
            // the schedule starts afresh rather than catching up.
            next += period;
            const auto now = Clock::now();
            if (next < now) next = now + period;
        }
    }

    std::shared_ptr<State> state;
    std::chrono::milliseconds period;
    QObject* receiver;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopRequested = false;
    std::thread worker;
};

} // namespace

void HoldViewTimerTicks(bool held) { ticksHeld = held; }

std::unique_ptr<ViewTimer> ViewTimer::Start(uint32_t ms, bool precise, std::function<void()> tick)
{
    // Ticks are delivered by the interface thread's event loop, so the timer
    // must be started there.
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || !tick || QThread::currentThread() != app->thread()) return nullptr;
    if (precise) return std::make_unique<PreciseTimer>(ms, std::move(tick), app);
    return std::make_unique<WindowTimer>(ms, std::move(tick));
}

} // namespace vellum::platform
