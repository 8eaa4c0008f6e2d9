// Tests of the engine's debugger: where statements start, stepping across
// script functions and natives that call scripts, breakpoints with
// conditions and hit counts, stops at errors, and pausing from another
// thread.
#include "engine/debug/debugger.h"
#include "engine/vm/interrupt.h"
#include "script_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace vellum::test {
namespace {

// Records each stop as "reason line" and answers with the next of its
// planned resumes (Continue once they are used up).
class Recorder final : public DebugFrontEnd {
public:
    Resume Stopped(DebugStop& stop) override
    {
        const DebugFrame& top = stop.Frames().front();
        stops.push_back(std::string(StopReasonName(stop.Reason())) + " " + std::to_string(top.line));
        if (look) look(stop);
        if (next < plan.size()) return plan[next++];
        return Resume::Continue;
    }

    std::vector<Resume> plan;
    size_t next = 0;
    std::vector<std::string> stops;
    std::function<void(DebugStop&)> look;
};

// A harness whose texts belong to the source \test.q9c, with a native that
// calls a script function, as a list's item setter or a timer does.
struct Debugged {
    Debugged()
    {
        h.ip.Messages().scriptPath = u"\\test.q9c";
        h.ip.RegisterFunction(u"CallBack", [](Interpreter& ip) -> uint32_t {
            if (!ip.CheckArgs(1, 1)) return 0;
            const Value function = ip.ArgValue(1);
            ip.PushValue(ip.CallFunction(Value::Null(), function));
            return 1;
        });
    }
    ScriptHarness h;
    Recorder recorder;
    Debugger debugger{recorder};
};

constexpr std::string_view kProgram = "function add(x, y)\n"      // 1
                                      "  var s = x + y\n"         // 2
                                      "  return s\n"              // 3
                                      "end\n"                     // 4
                                      "var t = {a = 1, b = {c = \"two\"}}\n" // 5
                                      "t.self = t\n"              // 6
                                      "var r = add(1, 2)\n"       // 7
                                      "Print(r)\n";               // 8

TEST(Debugger, StepsInOverAndOutAcrossFunctions)
{
    struct Case {
        std::vector<Resume> plan;
        std::vector<std::string> stops;
    };
    const Case cases[] = {
        {{Resume::StepIn, Resume::StepIn, Resume::StepIn, Resume::StepIn, Resume::StepIn, Resume::StepIn, Resume::StepIn},
         {"entry 1", "step 5", "step 6", "step 7", "step 2", "step 3", "step 8"}},
        {{Resume::StepOver, Resume::StepOver, Resume::StepOver, Resume::StepOver, Resume::StepOver},
         {"entry 1", "step 5", "step 6", "step 7", "step 8"}},
        {{Resume::StepOver, Resume::StepOver, Resume::StepOver, Resume::StepIn, Resume::StepOut},
         {"entry 1", "step 5", "step 6", "step 7", "step 2", "step 8"}},
    };
    for (const Case& c : cases) {
        Debugged d;
        d.recorder.plan = c.plan;
        d.debugger.StopOnEntry();
        EXPECT_EQ(d.h.Output(kProgram), "3\n");
        EXPECT_EQ(d.recorder.stops, c.stops);
    }
}

TEST(Debugger, BreakpointConditionsHitCountsAndCallbacks)
{
    const std::string loop = "var total = 0\n"
                             "var i = 0\n"
                             "while i < 6\n"
                             "  i = i + 1\n"
                             "  total = total + i\n" // 5
                             "end\n"
                             "function f()\n"
                             "  return 7\n"          // 8
                             "end\n"
                             "Print(CallBack(f))\n"; // 10
    struct Case {
        std::vector<BreakpointRequest> breakpoints;
        std::vector<std::string> stops;
    };
    const Case cases[] = {
        {{{5, u"i > 3", {}}}, {"breakpoint 5", "breakpoint 5", "breakpoint 5"}},
        {{{5, {}, u"== 2"}}, {"breakpoint 5"}},
        {{{5, u"i > 1", u"% 2"}}, {"breakpoint 5", "breakpoint 5"}},
        {{{5, {}, u">= 5"}, {8, {}, {}}}, {"breakpoint 5", "breakpoint 5", "breakpoint 8"}},
        {{{5, u"(", {}}}, std::vector<std::string>(6, "breakpoint 5")},
    };
    for (const Case& c : cases) {
        Debugged d;
        d.debugger.SetBreakpoints(u"\\test.q9c", c.breakpoints);
        d.recorder.look = [](DebugStop& stop) {
            if (stop.Frames().front().line != 8) return;
            // The native that called the script is a frame of its own.
            const auto& frames = stop.Frames();
            ASSERT_EQ(frames.size(), 3u);
            EXPECT_EQ(U8(frames[0].name), "f");
            EXPECT_TRUE(frames[1].native);
            EXPECT_EQ(U8(frames[1].name), "CallBack");
            EXPECT_EQ(frames[2].line, 10);
        };
        EXPECT_EQ(d.h.Output(loop), "7\n");
        EXPECT_EQ(d.recorder.stops, c.stops);
    }
}

TEST(Debugger, IncludedFilesHaveTheirOwnSource)
{
    TempDir dir;
    const auto lib = dir.WriteUtf16("lib.q9c", "function twice(n)\n  return n * 2\nend\n");
    Debugged d;
    d.debugger.SetBreakpoints(U16(lib.string()), {{2, {}, {}}});
    d.recorder.plan = {Resume::StepOut};
    EXPECT_EQ(d.h.Output("include \"" + lib.string() + "\"\nPrint(twice(4))\nPrint(1)\n"), "8\n1\n");
    EXPECT_EQ(d.recorder.stops, (std::vector<std::string>{"breakpoint 2", "step 3"}));
}

TEST(Debugger, StopsWhereAnErrorBecomesPendingAndLeavesItAsItWas)
{
    const std::string failing = "function bad(t)\n  return t.x.y\nend\nPrint(1)\nbad({})\nPrint(2)\n";
    ScriptHarness plain;
    const Outcome without = plain.Run(failing);

    Debugged d;
    d.debugger.SetStopOnErrors(true);
    std::string message;
    d.recorder.look = [&](DebugStop& stop) {
        message = U8(stop.Message());
        EXPECT_EQ(stop.Frames().size(), 2u);
        // Evaluation works while the error waits.
        EXPECT_EQ(U8(stop.Evaluate(0, u"t").result.value), "{}");
    };
    const Outcome with = d.h.Run(failing);
    EXPECT_EQ(d.recorder.stops, std::vector<std::string>{"exception 2"});
    EXPECT_EQ(message, with.message);
    EXPECT_EQ(with.output, without.output);
    EXPECT_EQ(with.error, without.error);
    EXPECT_EQ(with.position, without.position);

    // Die is no error to stop at.
    d.recorder.stops.clear();
    EXPECT_EQ(d.h.Output("Die()\n"), "");
    EXPECT_TRUE(d.recorder.stops.empty());
}

TEST(Debugger, PausesFromAnotherThreadAndTerminates)
{
    Debugged d;
    d.recorder.plan = {Resume::Terminate};
    std::thread pauser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        d.debugger.Pause();
    });
    const Outcome o = d.h.Run("var i = 0\nwhile true\n  i = i + 1\nend\n");
    pauser.join();
    ClearStop();
    ASSERT_EQ(d.recorder.stops.size(), 1u);
    EXPECT_EQ(d.recorder.stops[0], "pause 3");
    EXPECT_EQ(o.error, "errStopped");
}

} // namespace
} // namespace vellum::test
