#include "platform/editor/run_watch.h"

#include "engine/vm/interrupt.h"
#include "platform/window/shell_widget.h"
#include "platform/window/view_timer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>
#include <QWindow>

#include <chrono>

namespace vellum::platform {

namespace {

// Often enough that the window answers at once and Stop ends the run well
// within a tenth of a second; each poll costs the script a few microseconds.
constexpr std::chrono::milliseconds kPollInterval{40};

// Lets the editor's own events through and holds back the input and close
// requests of every other window.
class EditorEventsOnly final : public QObject {
public:
    explicit EditorEventsOnly(QWidget* editor) : editor(editor) {}

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!event->isInputEvent() && event->type() != QEvent::Close && event->type() != QEvent::Shortcut) {
            return false;
        }
        return !InEditor(receiver);
    }

private:
    // The editor's window, or a pop-up (its menu) opened from it.
    bool InEditor(QObject* receiver) const
    {
        if (auto* window = qobject_cast<QWindow*>(receiver)) return window == editor->windowHandle();
        for (auto* w = qobject_cast<QWidget*>(receiver); w != nullptr; w = w->parentWidget()) {
            if (w == editor) return true;
        }
        return false;
    }

    QWidget* editor;
};

} // namespace

RunWatch::RunWatch(const FormWindow& editor_) : editor(editor_)
{
    SetInterruptHook(&RunWatch::Poll, this);
    watchdog = std::thread([this] { Watch(); });
}

RunWatch::~RunWatch()
{
    {
        const std::lock_guard lock(mutex);
        done = true;
    }
    wake.notify_one();
    watchdog.join();
    SetInterruptHook(nullptr, nullptr);
}

void RunWatch::Watch()
{
    std::unique_lock lock(mutex);
    while (!wake.wait_for(lock, kPollInterval, [this] { return done; })) RequestPoll();
}

void RunWatch::Poll(void* context)
{
    const auto& watch = *static_cast<RunWatch*>(context);
    QWidget* shell = ShellWidgetOf(watch.editor);
    if (shell == nullptr) return;
    EditorEventsOnly filter(shell);
    QCoreApplication::instance()->installEventFilter(&filter);
    // A view's timer would run its handler here, inside the script's code.
    HoldViewTimerTicks(true);
    QCoreApplication::processEvents();
    HoldViewTimerTicks(false);
    QCoreApplication::instance()->removeEventFilter(&filter);
}

void RunPause::Wait()
{
    QWidget* shell = ShellWidgetOf(editor);
    if (shell == nullptr || loop != nullptr) return;
    EditorEventsOnly filter(shell);
    QEventLoop waiting;
    loop = &waiting;
    QCoreApplication::instance()->installEventFilter(&filter);
    HoldViewTimerTicks(true);
    waiting.exec();
    HoldViewTimerTicks(false);
    QCoreApplication::instance()->removeEventFilter(&filter);
    loop = nullptr;
}

void RunPause::End()
{
    if (loop != nullptr) loop->exit(0);
}

} // namespace vellum::platform
