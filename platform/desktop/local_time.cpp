#include "platform/desktop/local_time.h"

#include <chrono>
#include <ctime>

namespace vellum::platform {

LocalTime LocalTimeOf(int64_t seconds, int64_t nanoseconds)
{
    const auto when = static_cast<std::time_t>(seconds);
    std::tm fields{};
    if (localtime_r(&when, &fields) == nullptr) return {};
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
            fields.tm_hour,        fields.tm_min,     fields.tm_sec < 60 ? fields.tm_sec : 59,
            static_cast<int32_t>(nanoseconds / 1000000)};
}

LocalTime LocalNow()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
    int64_t seconds = nanoseconds / 1000000000;
    int64_t rest = nanoseconds % 1000000000;
    if (rest < 0) {
        rest += 1000000000;
        --seconds;
    }
    return LocalTimeOf(seconds, rest);
}

} // namespace vellum::platform
