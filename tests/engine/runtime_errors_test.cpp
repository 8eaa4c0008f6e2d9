// Tests of run-time errors beyond the scripts' cases: the operand stack an
// error leaves, and the limits of the operand stack and of the call depth.
#include "script_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vellum::test {
namespace {

std::string Repeat(const std::string& item, int n, const std::string& separator)
{
    std::string out;
    for (int i = 0; i < n; ++i) out += (i > 0 ? separator : "") + item;
    return out;
}

// The scripts check every error's message and position; here that no error,
// not even one of the statements on locals that run as one instruction,
// leaves anything on the operand stack, which the harness checks after
// every run, and that the stack and the call depth are bounded.
TEST(RuntimeErrors, LeaveTheOperandStackEmptyAndTheStackAndCallDepthAreBounded)
{
    ScriptHarness h;
    for (const char* source : {
             "Print(1, {2, 1 + 2 * 'a'})", "var t = {}\nPrint(t, t.a.b.c)", "function f(x) x = x + 1 end\nf('a')",
             "function f(x) x = x - 1 end\nf({})", "function f(a, b) var c = a * b end\nf(2, null)",
             "function f(a, b) b = a / b end\nf('x', 1)", "function f(a, t) a = a - t.n end\nf(1, {n = 'x'})",
             "function w(a, b, c, d, e, f) var g var i return w(a, b, c, d, e, f) end w()",
         }) {
        EXPECT_NE(h.Run(source).error, "errOK") << source;
    }
    EXPECT_EQ(h.Run("function r(n) return r(n + 1) end r(0)").error, "errOutOfMemory");
    std::string locals;
    for (int i = 0; i < 1100; ++i) locals += " var v" + std::to_string(i);
    EXPECT_EQ(h.Run("function many()" + locals + " end many()").error, "errOutOfMemory");
    // Failed runs give back every level they took: the deepest call still fits.
    const std::string depth = std::to_string(Interpreter::kMaxCallDepth - 1);
    EXPECT_EQ(h.Output("function e(n) if n == 0 return 'deep' end return e(n - 1) end Print(e(" + depth + "))"),
              "deep\n");
    EXPECT_EQ(h.Output("Print(e(" + depth + " + 1))"), "!errOutOfMemory");
}

// Runs a text in a child process, which exits with 0 only when the run
// ended with errOutOfMemory, so that a crash fails this test alone.
void ExpectOutOfMemoryWithoutCrash(const std::string& source)
{
    EXPECT_EXIT(
        {
            ScriptHarness h;
            const Outcome o = h.Run(source);
            std::exit(o.error == "errOutOfMemory" && Internals(h.ip).StackDepth() == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "")
        << source.substr(0, 40);
}

TEST(LimitsDeathTest, DeepNestingAndLongArgumentListsAreErrorsNotCrashes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Every argument is an empty table, which takes one cell.
    ExpectOutOfMemoryWithoutCrash("Print(" + Repeat("{}", 1100, ", ") + ")");
    const int deep = 200000;
    ExpectOutOfMemoryWithoutCrash("Print(" + std::string(deep, '(') + "1" + std::string(deep, ')') + ")");
    ExpectOutOfMemoryWithoutCrash("var t = " + std::string(deep, '{') + std::string(deep, '}'));
    ExpectOutOfMemoryWithoutCrash(Repeat("if true", deep, " ") + Repeat("end", deep, " "));
    // Nesting as deep as real scripts go still compiles.
    ScriptHarness h;
    EXPECT_EQ(h.Output("Print(" + std::string(40, '(') + "1" + std::string(40, ')') + ")"), "1\n");
    EXPECT_EQ(h.Output("var t = " + std::string(40, '{') + std::string(40, '}')), "");
    EXPECT_EQ(h.Output(Repeat("if true", 40, " ") + " Print(2) " + Repeat("end", 40, " ")), "2\n");
}

} // namespace
} // namespace vellum::test
