// Vibrate: the vibration runs for the given time and the device rests
// 250 ms after it; the caller waits for both. A desktop has no vibration
// device, so only the waiting remains.
#include "engine/vm/interpreter.h"
#include "system/natives.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace vellum::system {

uint32_t Vibrate(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    int32_t milliseconds = 1000;
    if (ip.ArgCount() - 1 == 1) {
        const double given = ip.ArgNumber(1);
        if (ip.ErrorPending()) return 0;
        // Not a length of time at all, or one already over: no vibration.
        if (!std::isfinite(given))
            milliseconds = 0;
        else
            Interpreter::ValueToInt(Value::Number(given), milliseconds);
        if (milliseconds < 0) milliseconds = 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds) + std::chrono::milliseconds(250));
    return 0;
}

} // namespace vellum::system
