// Notifications wait on a timer of the interface thread; the desktop's
// org.freedesktop.Notifications service shows them. Every bus call is
// asynchronous, so neither scheduling nor clearing ever waits on the
// desktop.
#include "platform/desktop/notifications.h"

#include "platform/desktop/message_box.h"
#include "platform/desktop/session_bus.h"
#include "platform/qt_convert.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>
#include <chrono>
#include <climits>
#include <map>

namespace vellum::platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

struct Entry {
    NotificationRequest request;
    std::chrono::steady_clock::time_point due;
    // Owned by the application object, so it goes with the event loop.
    QPointer<QTimer> timer;
    bool awaitingId = false;
    bool cleared = false;
    uint32_t shownId = 0;
};

std::map<uint32_t, Entry> entries;
uint32_t lastHandle = 0;

uint32_t NewHandle()
{
    do ++lastHandle;
    while (lastHandle == 0 || entries.count(lastHandle) != 0);
    return lastHandle;
}

QDBusMessage ServiceCall(const QString& method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    call.setAutoStartService(false);
    return call;
}

void Close(uint32_t shownId)
{
    if (const std::optional<QDBusConnection> bus = SessionBus()) {
        QDBusMessage call = ServiceCall(QStringLiteral("CloseNotification"));
        call << shownId;
        bus->send(call);
    }
}

void Show(uint32_t handle)
{
    const auto found = entries.find(handle);
    if (found == entries.end()) return;
    Entry& entry = found->second;
    const std::optional<QDBusConnection> bus = SessionBus();
    if (!bus) {
        entries.erase(found);
        return;
    }
    const NotificationRequest& request = entry.request;
    QVariantMap hints;
    if (request.sound) hints.insert(QStringLiteral("sound-file"), QFile::decodeName(request.sound->c_str()));
    if (request.repeat) hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(2));
    QDBusMessage call = ServiceCall(QStringLiteral("Notify"));
    const QString application = request.application.empty() ? QStringLiteral("Vellum") : ToQString(request.application);
    call << application << uint32_t{0} << QString() << ToQString(request.title)
         << (request.dialog ? ToQString(request.text) : QString()) << QStringList() << hints
         << int32_t{request.repeat ? 0 : -1};
    entry.awaitingId = true;
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [handle](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<uint32_t> reply = *done;
        const auto at = entries.find(handle);
        if (at == entries.end()) return;
        const uint32_t id = reply.isValid() ? reply.value() : 0;
        if (at->second.cleared || id == 0) {
            if (id != 0) Close(id);
            entries.erase(at);
            return;
        }
        at->second.awaitingId = false;
        at->second.shownId = id;
    });
}

void DropTimer(Entry& entry)
{
    if (entry.timer.isNull()) return;
    entry.timer->stop();
    entry.timer->deleteLater();
}

// Timers run at most INT_MAX milliseconds: a later notification waits in steps.
void Arm(uint32_t handle)
{
    Entry& entry = entries.at(handle);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(entry.due - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        DropTimer(entry);
        Show(handle);
        return;
    }
    entry.timer->start(static_cast<int>(std::min<int64_t>(left.count(), INT_MAX)));
}

} // namespace

uint32_t ScheduleNotification(const NotificationRequest& request)
{
    const uint32_t handle = NewHandle();
    const bool visible = request.dialog || request.sound;
    if (ConsoleMode() || !visible || QCoreApplication::instance() == nullptr || !SessionBus()) return handle;

    Entry& entry = entries[handle];
    entry.request = request;
    entry.due = std::chrono::steady_clock::now() + std::chrono::seconds(std::max<int64_t>(request.delaySeconds, 0));
    entry.timer = new QTimer(QCoreApplication::instance());
    entry.timer->setSingleShot(true);
    entry.timer->setTimerType(request.delaySeconds > 60 ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
    QObject::connect(entry.timer.data(), &QTimer::timeout, [handle] { Arm(handle); });
    Arm(handle);
    return handle;
}

void ClearNotification(uint32_t handle)
{
    const auto found = entries.find(handle);
    if (found == entries.end()) return;
    Entry& entry = found->second;
    if (entry.awaitingId) {
        entry.cleared = true;
        return;
    }
    DropTimer(entry);
    if (entry.shownId != 0) Close(entry.shownId);
    entries.erase(found);
}

} // namespace vellum::platform
