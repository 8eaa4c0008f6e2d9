// The message loops forms run. Every shown form runs a loop of its own
// inside the script call that showed it, so loops nest; a quit ends the
// innermost loop running, as the handheld's quit message does, whichever
// form asked for it. A quit asked for while no loop can take it is kept
// for the next loop that runs (which then ends at once).
#pragma once

#include <functional>

namespace vellum::platform {

// Runs the interface thread's events until the next quit. owner names who
// runs the loop (an interpreter), for EndLoopsOf.
void RunMessageLoop(const void* owner);
// A form's loop: RunMessageLoop, except that it is never entered for a
// window that is gone already, and it ends as soon as control returns to it
// from a loop inside it after its window went (that inner loop took the
// quit the window's end asked for, so nothing else would end this one).
void RunFormLoop(const void* owner, std::function<bool()> windowGone);
// Ends the innermost loop running when the quit is taken.
void PostQuit();
// Ends every loop started inside the owner's newest running loop (a run
// started from the script editor's command); the owner's own loop goes on.
void EndLoopsInside(const void* owner);
// Ends every running loop of the owner at once: with no person to close
// its forms, a failed console run unwinds to its top-level code this way.
void EndLoopsOf(const void* owner);

} // namespace vellum::platform
