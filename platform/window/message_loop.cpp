#include "platform/window/message_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>

#include <vector>

namespace vellum::platform {

namespace {

// The loops running now, innermost last.
std::vector<QEventLoop*> loops;
// A quit waits, like the handheld's quit message, for the next loop that
// takes an event: the innermost running one, or one that is about to start.
bool quitPending = false;

void DeliverQuit()
{
    if (!quitPending || loops.empty()) return;
    quitPending = false;
    loops.back()->exit(0);
}

} // namespace

void RunMessageLoop()
{
    if (quitPending) {
        quitPending = false;
        return;
    }
    QEventLoop loop;
    loops.push_back(&loop);
    loop.exec();
    loops.pop_back();
    // Windows destroyed during their own events in that loop were left for
    // it to delete; their events are over now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PostQuit()
{
    if (quitPending) return;
    quitPending = true;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, DeliverQuit, Qt::QueuedConnection);
    }
}


} // namespace vellum::platform
