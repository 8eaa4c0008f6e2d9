// The timers of views. A window timer ticks through the interface thread's
// event loop; a precise timer keeps millisecond periods on a thread of its
// own and carries each tick to the interface thread, so script code never
// runs on the timer thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vellum::platform {

class ViewTimer {
public:
    // Starts calling tick on the interface thread every ms milliseconds
    // until the timer is destroyed; nothing when it cannot be started.
    static std::unique_ptr<ViewTimer> Start(uint32_t ms, bool precise, std::function<void()> tick);
    virtual ~ViewTimer() = default;
};

// While ticks are held (a run stopped in the debugger, whose script must
// not run), every timer drops its ticks, as a busy interface thread misses
// them, and keeps its period. Interface thread only.
void HoldViewTimerTicks(bool held);

} // namespace vellum::platform
