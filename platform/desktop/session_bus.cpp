// A missing bus must not cost time or print: without an address in the
// environment and without the user's bus socket there is no bus, and libdbus
// is never asked to find or launch one.
#include "platform/desktop/session_bus.h"

#include <QCoreApplication>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace vellum::platform {

namespace {

std::optional<QDBusConnection> Connect()
{
    if (QCoreApplication::instance() == nullptr) return std::nullopt;
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != 0) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected()) return bus;
        return std::nullopt;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == 0) return std::nullopt;
    const std::string socket = std::string(runtime) + "/bus";
    struct stat info {};
    if (::stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return std::nullopt;
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromStdString("unix:path=" + socket), QStringLiteral("vellum-session"));
    if (bus.isConnected()) return bus;
    return std::nullopt;
}

} // namespace

std::optional<QDBusConnection> SessionBus()
{
    static const std::optional<QDBusConnection> bus = Connect();
    return bus;
}

} // namespace vellum::platform
