// Scheduled user notifications, shown as desktop notifications.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace vellum::platform {

struct NotificationRequest {
    int64_t delaySeconds = 0;
    std::u16string application; // empty: the program's own name
    std::u16string title;
    std::u16string text;
    std::optional<std::filesystem::path> sound;
    bool dialog = false; // show the text
    bool led = false;
    bool vibrate = false;
    bool repeat = false; // stays until the user reacts
};

// Schedules the notification for delaySeconds from now, while the program
// runs, and gives its handle (never 0). It is shown over the desktop's
// notification service when there is one; in console mode, without a Qt
// application or without the service the handle is still given and
// nothing is shown. The light and the vibration have no desktop
// counterpart: a notification with neither text nor sound shows nothing.
uint32_t ScheduleNotification(const NotificationRequest& request);

// Cancels a notification that is still to come and takes one that is shown
// off the screen; unknown handles are ignored.
void ClearNotification(uint32_t handle);

} // namespace vellum::platform
