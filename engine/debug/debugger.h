// The engine's side of a debugger, shared by every front end (the built-in
// editor, the Debug Adapter Protocol server).
//
// A front end makes one Debugger; while it lives, every interpreter of the
// process consults it. The interpreter stops before a statement when a
// breakpoint there holds, a step ends, a pause was asked for, or (when
// enabled) an error becomes pending, and calls the front end's Stopped on
// its own thread. The run stays stopped until Stopped returns; meanwhile
// the front end reads the stop (frames, variables) and may evaluate
// expressions through the DebugStop it was given. What Stopped returns says
// how the run goes on.
//
// With no Debugger, or one with no breakpoints and nothing asked for, the
// loop runs as without one: the debugger reaches it through the dispatch
// diversion of engine/vm/interrupt.h only while it needs a look at each
// instruction.
#pragma once

#include "engine/core/source_place.h"
#include "engine/core/value.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Interpreter;
class DebugStop;
struct Code;

enum class StopReason { Entry, Breakpoint, Step, Pause, Exception };
// The reason's name as debug front ends report it ("breakpoint", "step", ...).
const char* StopReasonName(StopReason reason);

// How a stopped run goes on.
enum class Resume {
    Continue,
    StepIn,   // to the next statement, in whatever function it lies
    StepOver, // to the next statement of this function or of a caller
    StepOut,  // to the next statement of a caller
    Terminate // the run fails with errStopped, as a Stop request ends it
};

struct BreakpointRequest {
    int line = 0; // from 1
    // An expression in the language, evaluated in the stopped frame; the
    // breakpoint holds when it gives true (or fails: the stop says why).
    std::u16string condition;
    // How many holding hits stop: "N" or ">= N" from the Nth on, "== N"
    // only the Nth, "> N", "< N", "<= N", "% N" every Nth. Empty: every one.
    std::u16string hitCondition;
};

class DebugFrontEnd {
public:
    virtual ~DebugFrontEnd() = default;
    // On the thread of the stopped interpreter. It must not run script code
    // other than through stop.Evaluate.
    virtual Resume Stopped(DebugStop& stop) = 0;
};

class Debugger {
public:
    // Attaches to every interpreter of the process; one at a time, made and
    // destroyed while no script runs.
    explicit Debugger(DebugFrontEnd& frontEnd);
    // Whether a debugger is attached now: there is one per process, and a
    // second may only be made once the first is gone.
    static bool Attached();
    ~Debugger();
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    // --- any thread ------------------------------------------------------
    // Replaces the breakpoints of one source (a device path such as
    // "\app.q9c", compared ignoring case; see SourceName) and resets their
    // hit counts.
    void SetBreakpoints(std::u16string_view source, std::vector<BreakpointRequest> breakpoints);
    // Stop where an error becomes pending (not errDie or errStopped),
    // before anything reports it.
    void SetStopOnErrors(bool on);
    // Stops the run at its next statement (reason Pause).
    void Pause();
    // Stops at the first statement that runs (reason Entry); for a launch.
    void StopOnEntry();

    // The source a text belongs to: the device path of an included file,
    // else the interpreter's script path (the start-up script's text, the
    // editor's text); empty when it has neither.
    static std::u16string SourceName(Interpreter& ip, uint32_t textId);

private:
    friend class DebugHooks;
    struct Breakpoint {
        BreakpointRequest request;
        int hits = 0;
    };
    enum class Mode { Run, StepIn, StepOver, StepOut, Pause, Entry };

    // Whether the loop must show each instruction to the debugger.
    bool NeedsEachInstruction() const;
    void UpdateDiversion();
    // Finds the statements of code that have breakpoints.
    void MarkBreakpoints(Interpreter& ip, Code& code, uint32_t forGeneration);
    // Counts a hit of the breakpoints on the statement's line whose
    // conditions hold; whether one of them stops.
    bool BreakpointHolds(DebugStop& stop, const SourcePlace& statement);
    // Shows the stop to the front end and sets up how the run goes on; true
    // when the front end ended the run.
    bool Stop(DebugStop& stop);

    DebugFrontEnd& frontEnd;
    mutable std::mutex mutex;
    // Source names in lower case, each with its breakpoints by line.
    std::map<std::u16string, std::multimap<int, Breakpoint>> breakpoints;
    // Bumped on every change of the breakpoints, so code finds its marks stale.
    std::atomic<uint32_t> generation{1};
    std::atomic<bool> stopOnErrors{false};
    std::atomic<Mode> mode{Mode::Run};
    // Where a step started: the call depth and the interpreter.
    int stepDepth = 0;
    const Interpreter* stepInterpreter = nullptr;
    // While a front end evaluates or a stop is shown, nothing stops again.
    bool busy = false;
};

// A frame of a stopped run, innermost first.
struct DebugFrame {
    std::u16string name; // the function's name, "(main)" for a text's top level
    bool native = false;
    bool hasLocals = false; // a script function's frame (Locals lists its `this` and locals)
    SourcePlace place;   // unknown for a native frame
    std::u16string source; // Debugger::SourceName of place.text
    int line = 0;        // from 1; 0 when unknown
    int column = 0;
};

// A variable, a table's entry or an evaluation's result, as the language
// writes it.
struct DebugVariable {
    std::u16string name;
    std::u16string value; // a number 3 is "3", a string "abc" with its quotes
    std::u16string type;  // "null", "bool", "num", "str", "table", "func", "funcBin", "ptr", "binary"
    // For a table: the reference its entries are read by (Variables), and
    // how many there are. 0 for every other value.
    uint32_t reference = 0;
    uint32_t childCount = 0;
};

// A run stopped before a statement. Valid only inside DebugFrontEnd::Stopped,
// on the interpreter's thread; references end with it.
class DebugStop {
public:
    StopReason Reason() const { return reason; }
    // The pending error's message (reason Exception), or why a breakpoint's
    // condition failed; else empty.
    const std::u16string& Message() const { return message; }
    Interpreter& Owner() const { return ip; }

    const std::vector<DebugFrame>& Frames();
    // The references of a frame's locals (`this` and every local of its
    // function; none for top-level code) and of the globals.
    uint32_t Locals(size_t frame);
    uint32_t Globals();
    // The variables a reference stands for, from start, at most count of
    // them (all when count is 0), and how many there are.
    std::vector<DebugVariable> Variables(uint32_t reference, size_t start = 0, size_t count = 0);
    uint32_t VariableCount(uint32_t reference);

    // Evaluates an expression in a frame's scope (its locals, then the
    // globals). The result, or the error's message.
    struct Evaluation {
        bool ok = false;
        DebugVariable result;
        std::u16string error;
    };
    Evaluation Evaluate(size_t frame, std::u16string_view expression);

    DebugStop(Interpreter& ip, StopReason reason, Code& code, size_t pc, Value* frame);
    DebugStop(const DebugStop&) = delete;
    DebugStop& operator=(const DebugStop&) = delete;

private:
    friend class DebugHooks;
    friend class Debugger;
    struct FrameState {
        Code* code = nullptr; // none for a native frame
        size_t pc = 0;
        Value* frame = nullptr;
        bool caller = false; // pc is where a call returns to
    };
    // The function whose frame a state is, when it is one.
    FunctionObject* FunctionOf(const FrameState& state) const;
    // Lets go of what the stop held.
    void Release();
    // What a reference stands for: a table's entries, a frame's locals or
    // the globals. Held values are collector roots while the stop lasts.
    struct Held {
        enum class Kind { Table, Locals, Globals } kind;
        Value value;
        size_t frame = 0;
    };
    DebugVariable Describe(std::u16string name, const Value& value);
    uint32_t Hold(Held held);
    void Walk();

    Interpreter& ip;
    StopReason reason;
    std::u16string message;
    FrameState top;
    std::vector<DebugFrame> frames;
    std::vector<FrameState> states;
    bool walked = false;
    std::vector<Held> held;
};

} // namespace vellum
