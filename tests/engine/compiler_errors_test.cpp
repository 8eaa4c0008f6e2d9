// Tests of compile errors: every identifier the parser raises, where it
// stands in the text, and what a failed compilation leaves behind.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(CompileErrors, IdentifierPositionAndMessage)
{
    struct Case {
        const char* source;
        const char* error;
        int32_t position;
        const char* message; // checked when given
    } const cases[] = {
        {")", "errUnexpectedItem", 0, "Unexpected item"},
        {"Print(1) )", "errUnexpectedItem", 9, nullptr},
        {"var my_var", "errUnexpectedItem", 6, nullptr},
        {"var x = -", "errUnexpectedItem", 9, nullptr},
        {"if true Print(1)", "errUnexpectedItem", 16, nullptr},
        {"while true", "errUnexpectedItem", 10, nullptr},
        {"for v in {} ", "errUnexpectedItem", 12, nullptr},
        {"for v {}", "errUnexpectedItem", 6, nullptr},
        {"function f() if true return elseif false end end", "errUnexpectedItem", 28, nullptr},
        {"function f end", "errUnexpectedItem", 11, nullptr},
        {"var t = {(1) = 2}", "errUnexpectedItem", 13, nullptr},
        {"var 5", "errIdentifierExpected", 4, "Variable identifier expected"},
        {"var t = {} t.5 = 1", "errIdentifierExpected", 13, nullptr},
        {"var t = {} t.", "errIdentifierExpected", 13, nullptr},
        {"function f(a, 1) end", "errIdentifierExpected", 14, nullptr},
        {"function 1() end", "errIdentifierExpected", 9, nullptr},
        {"for 1 in {} end", "errIdentifierExpected", 4, nullptr},
        {"x = 1", "errUndeclaredVariable", 0, "Undeclared identifier \"x\""},
        {"function f() return g() end function g() return 1 end", "errUndeclaredVariable", 20,
         "Undeclared identifier \"g\""},
        // No closures: an inner function does not see the outer one's locals.
        {"function o() var a = 1 function i() return a end end", "errUndeclaredVariable", 43, nullptr},
        {"var x = 1 var x", "errVariableAlreadyDeclared", 14, "Variable \"x\" already declared"},
        {"var MsgBox", "errVariableAlreadyDeclared", 4, nullptr},
        {"function f(a) var a end", "errVariableAlreadyDeclared", 18, nullptr},
        {"var a = {} a.b", "errAssignmentExpected", 14, "= expected"},
        {"Print", "errAssignmentExpected", 5, nullptr},
        {"Print((1)", "errClosingRoundExpected", 9, ") expected"},
        {"Print(1 2)", "errClosingRoundExpected", 8, nullptr},
        {"function f(a b) end", "errClosingRoundExpected", 13, nullptr},
        {"var t = {1, 2", "errClosingCurlyExpected", 13, "} expected"},
        {"var t = {} Print(t[1)", "errClosingSquareExpected", 20, "] expected"},
        {"var x = 1 end", "errEndExpected", 10, "Unexpected end of program"},
        {"return 1", "errReturnOudsideFunction", 0, "Return can be only in function"},
        {"var x = 1e999", "errNumberOutOfRange", 8, "Number out of range"},
    };
    for (const Case& c : cases) {
        ScriptHarness h;
        const Outcome o = h.Run(c.source);
        EXPECT_EQ(o.error, c.error) << c.source;
        EXPECT_EQ(o.position, c.position) << c.source;
        EXPECT_EQ(o.output, "") << c.source;
        if (c.message != nullptr) {
            EXPECT_EQ(o.message, c.message) << c.source;
        }
    }
}

TEST(CompileErrors, DeclarationsActWhileCompiling)
{
    ScriptHarness h;
    // What was declared before the error stays declared, and nothing ran.
    EXPECT_EQ(h.Run("var a = 1 var b = 2 Print(a) )").output, "");
    Value v;
    EXPECT_TRUE(Internals(h.ip).Globals()->Find(h.ip.MakeString(u"a"), v));
    EXPECT_TRUE(Internals(h.ip).Globals()->Find(h.ip.MakeString(u"b"), v));
    EXPECT_TRUE(v.IsNull());

    // A named function is declared (as null) before its definition runs.
    EXPECT_EQ(h.Output("function h() return 1 end Print(h())"), "1\n");
    EXPECT_EQ(h.Output("Print(h()) function h() return 2 end"), "!errFunctionCallToNonFunction");
    EXPECT_EQ(h.Output("function Print2(x) Print(x & x) end Print2(3)"), "33\n");
    // Top-level function definitions replace library functions without error.
    EXPECT_EQ(h.Output("function MsgBox(x) Print('mine ' & x) end MsgBox(1)"), "mine 1\n");

    // Loop variables at top level become globals.
    EXPECT_EQ(h.Output("for k : v in {5} end Print(k & v)"), "05\n");
}

// A program that loads libraries on demand hears of every global name the
// compiler misses, before it reports the name or declares it, and nothing
// of names it finds or of locals.
TEST(CompileErrors, MissingGlobalsAreAskedForBeforeTheyAreReportedOrDeclared)
{
    ScriptHarness h;
    std::vector<std::string> asked;
    h.ip.SetMissingGlobalHook([&asked](Interpreter& ip, std::u16string_view name) {
        asked.push_back(U8(name));
        if (name == u"Later" || name == u"Taken") ip.SetGlobal(name, Value::Number(7));
    });
    EXPECT_EQ(h.Output("Print(Later) function F(a) var b = a return b end Print(F(1)) Print(Later)"), "7\n1\n7\n");
    EXPECT_EQ(asked, (std::vector<std::string>{"Later", "F"}));
    asked.clear();
    // Declared at top level, by var, function or loop: asked first, so that
    // what the hook registers cannot later replace the script's own.
    EXPECT_EQ(h.Output("var Taken"), "!errVariableAlreadyDeclared");
    asked.clear();
    EXPECT_EQ(h.Output("var v = 1 function G() end for w in {} end Print(v)"), "1\n");
    EXPECT_EQ(asked, (std::vector<std::string>{"v", "G", "w"}));
    asked.clear();
    EXPECT_EQ(h.Output("Nowhere = 1"), "!errUndeclaredVariable");
    EXPECT_EQ(asked, (std::vector<std::string>{"Nowhere"}));
}

} // namespace
} // namespace vellum::test
