// The desktop session's message bus, for the services the desktop offers
// there (notifications, the screen saver). Qt inside platform/ only.
#pragma once

#include <QDBusConnection>

#include <optional>

namespace vellum::platform {

// The session bus when the desktop has one and the program has a Qt
// application; none otherwise, found out without waiting or printing.
// Connected once and kept.
std::optional<QDBusConnection> SessionBus();

} // namespace vellum::platform
