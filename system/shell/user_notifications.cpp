// SetUserNotification, ClearUserNotification and SystemIdleTimerReset.
//
// A notification is scheduled relative to now for as long as the program
// runs; the handle scripts get is a binary value, which the engine never
// frees.
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "platform/desktop/idle_timer.h"
#include "platform/desktop/notifications.h"
#include "system/natives.h"

#include <cmath>

namespace vellum::system {

namespace {

// A number field taken as the platform's 16-bit unsigned field: truncated
// toward zero, then its low 16 bits; anything else is 0.
uint16_t WordField(const Value& v)
{
    if (!v.IsNum() || !std::isfinite(v.num) || std::fabs(v.num) >= 9.2e18) return 0;
    return static_cast<uint16_t>(static_cast<int64_t>(v.num));
}

} // namespace

uint32_t SetUserNotification(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* fields = ip.ArgTable(1);
    if (fields == nullptr) return 0;
    // Fields may be functions that run scripts.
    ValueRoot root(ip, Value::Table(fields));
    const auto field = [&](std::u16string_view name) { return ip.GetProperty(fields, name); };
    const auto text = [&](std::u16string_view name) -> std::optional<std::u16string> {
        const Value v = field(name);
        if (ip.ErrorPending() || v.IsNull()) return std::nullopt;
        return ip.ToString(v, false, true)->Utf16();
    };

    platform::NotificationRequest request;
    const int64_t hours = WordField(field(u"hour"));
    const int64_t minutes = WordField(field(u"minute"));
    const int64_t seconds = WordField(field(u"second"));
    request.delaySeconds = hours * 3600 + minutes * 60 + seconds;
    request.led = field(u"led").IsTrue();
    request.vibrate = field(u"vibrate").IsTrue();
    request.repeat = field(u"repeat").IsTrue();
    const std::optional<std::u16string> message = text(u"text");
    const std::optional<std::u16string> sound = text(u"sound");
    const std::optional<std::u16string> application = text(u"application");
    if (ip.ErrorPending()) return 0;

    request.dialog = message.has_value();
    request.title = u"Vellum";
    request.text = message.value_or(u"Vellum");
    // A sound outside the device folder is not played.
    if (sound) request.sound = ip.Paths().HostPath(*sound);
    request.application = application.value_or(u"");
    const uint32_t handle = platform::ScheduleNotification(request);
    ip.PushValue(Value::Binary(reinterpret_cast<void*>(static_cast<uintptr_t>(handle))));
    return 1;
}

uint32_t ClearUserNotification(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const Value& handle = ip.ArgValue(1);
    if (handle.tag == Tag::Binary) platform::ClearNotification(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle.binary)));
    return 0;
}

uint32_t SystemIdleTimerReset(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    platform::ResetIdleTimer();
    return 0;
}

} // namespace vellum::system
