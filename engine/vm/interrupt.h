// Interrupts: how another thread, or a signal handler, reaches the script
// running on the interpreter's thread. A request diverts the interpreter
// loop's dispatch table, so the next instruction any interpreter dispatches
// goes to the interrupt handler instead: a loop's back jump, a call, a
// callback a native makes, all stop there within one instruction. The
// handler puts the table back. Scripts pay nothing while no interrupt is
// asked for; the only check is the table entry every instruction already
// loads.
#pragma once

namespace vellum {

// Runs on the interpreter's thread at the instruction where a poll was
// asked for (the script editor answers its window there while a script
// computes; a debugger would stop there). It must not run script code.
using InterruptHook = void (*)(void* context);
void SetInterruptHook(InterruptHook hook, void* context);

// The hook runs at the next instruction. Safe from any thread and from a
// signal handler.
void RequestPoll();
// Every script that runs an instruction fails with errStopped from now on,
// nested runs and their callers alike, until ClearStop: the run unwinds to
// whoever started it. Safe from any thread and from a signal handler.
void RequestStop();
void ClearStop();
bool StopRequested();

// While on, every instruction goes to the interrupt handler, where an
// attached debugger looks at it (engine/debug). Safe from any thread.
void DivertForDebugger(bool on);

} // namespace vellum
