// Tests of compiling beyond the scripts' error cases: what a failed
// compilation leaves behind, and the names a program that loads libraries
// on demand is asked for.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

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
