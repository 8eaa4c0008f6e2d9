#include "platform/window/message_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>
#include <utility>
#include <vector>

namespace vellum::platform {

namespace {

struct RunningLoop {
    QEventLoop* loop;
    const void* owner;
    // A form's loop: whether its window no longer exists.
    std::function<bool()> windowGone;
    // A quit was asked for while this loop was the innermost one.
    bool quitAsked = false;
};

// The loops running now, innermost last.
std::vector<RunningLoop> loops;
// A quit waits, like the handheld's quit message, for the next loop that
// takes an event: the innermost running one, or one that is about to start.
bool quitPending = false;

void DeliverQuit()
{
    if (!quitPending || loops.empty()) return;
    quitPending = false;
    loops.back().loop->exit(0);
}

// Control is back in the loop that is innermost now: a form's loop whose
// window went while the inner loop ran ends at once.
void EndInnermostLoopWithoutWindow()
{
    if (!loops.empty() && loops.back().windowGone && loops.back().windowGone()) loops.back().loop->exit(0);
}

void RunLoop(const void* owner, std::function<bool()> windowGone)
{
    if (quitPending) {
        quitPending = false;
        return;
    }
    if (windowGone && windowGone()) return;
    QEventLoop loop;
    loops.push_back({&loop, owner, std::move(windowGone)});
    loop.exec();
    // A quit asked for while this loop ran was meant for it: when the loop
    // ended for another reason first (an error unwinding the loops), the
    // quit goes with it instead of ending the next form at once.
    if (loops.back().quitAsked) quitPending = false;
    loops.pop_back();
    // Windows destroyed during their own events in that loop were left for
    // it to delete; their events are over now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EndInnermostLoopWithoutWindow();
}

} // namespace

void RunMessageLoop(const void* owner) { RunLoop(owner, {}); }

void RunFormLoop(const void* owner, std::function<bool()> windowGone) { RunLoop(owner, std::move(windowGone)); }

void PostQuit()
{
    if (quitPending) return;
    quitPending = true;
    if (!loops.empty()) loops.back().quitAsked = true;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, DeliverQuit, Qt::QueuedConnection);
    }
}

void EndLoopsInside(const void* owner)
{
    const auto newest = std::find_if(loops.rbegin(), loops.rend(), [owner](const RunningLoop& l) { return l.owner == owner; });
    for (auto inner = loops.rbegin(); inner != newest; ++inner) inner->loop->exit(0);
}

void EndLoopsOf(const void* owner)
{
    // An outer loop's exit takes effect once the loops inside it returned.
    for (const RunningLoop& running : loops) {
        if (running.owner == owner) running.loop->exit(0);
    }
}


} // namespace vellum::platform
