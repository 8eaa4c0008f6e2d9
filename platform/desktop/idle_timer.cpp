#include "platform/desktop/idle_timer.h"

#include "platform/desktop/session_bus.h"

#include <QDBusMessage>

namespace vellum::platform {

void ResetIdleTimer()
{
    const std::optional<QDBusConnection> bus = SessionBus();
    if (!bus) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
                                       QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("SimulateActivity"));
    // A desktop without a screen saver must not have one started for us.
    call.setAutoStartService(false);
    bus->send(call);
}

} // namespace vellum::platform
