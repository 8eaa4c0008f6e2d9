// While a script runs from the editor, the editor's window still answers:
// a watchdog thread asks for a poll (engine/vm/interrupt.h) every few tens
// of milliseconds, and at the poll the window's events are handled, so that
// typing, the Stop command and closing reach the editor even while the
// script computes without ever returning to a message loop. Input meant for
// the run's own forms is not taken then, and their timers drop the ticks
// that fall there: their handlers run inside message loops, never in the
// middle of the script's code.
//
// While the run is stopped in the debugger, RunPause handles the editor's
// events the same way until the user goes on; the run's forms are painted
// but take no input, and their timers hold their ticks.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class QEventLoop;

namespace vellum::platform {

class FormWindow;

class RunWatch {
public:
    explicit RunWatch(const FormWindow& editor);
    ~RunWatch();
    RunWatch(const RunWatch&) = delete;
    RunWatch& operator=(const RunWatch&) = delete;

private:
    static void Poll(void* watch);
    void Watch();

    const FormWindow& editor;
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    std::thread watchdog;
};

class RunPause {
public:
    explicit RunPause(const FormWindow& editor) : editor(editor) {}
    RunPause(const RunPause&) = delete;
    RunPause& operator=(const RunPause&) = delete;

    // Handles the events until End is called (by one of them).
    void Wait();
    // Ends the wait; nothing when none goes on.
    void End();
    bool Waiting() const { return loop != nullptr; }

private:
    const FormWindow& editor;
    QEventLoop* loop = nullptr;
};

} // namespace vellum::platform
