// Tests of what the instructions do beyond the scripts' cases: the methods
// of values other than tables, and code no compiler makes.
#include "engine/compiler/opcodes.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

uint32_t NameOfThis(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 0)) return 0;
    ip.PushValue(Value::String(ip.ToString(ip.ArgValue(0), true)));
    return 1;
}

TEST(Instructions, MethodsOfOtherValuesComeFromTheirPrototypes)
{
    ScriptHarness h;
    ASSERT_EQ(h.Output("var twice = function() return this & this end var double = function() return this * 2 end"), "");
    auto prototype = [&](std::u16string_view name) { return h.ip.GetGlobal(name).table; };
    prototype(u"__String")->Set(h.ip.MakeString(u"Twice"), h.ip.GetGlobal(u"twice"));
    prototype(u"__NumPrototype")->Set(h.ip.MakeString(u"Double"), h.ip.GetGlobal(u"double"));
    h.ip.SetMethod(prototype(u"__FuncPrototype"), u"Name", NameOfThis);
    h.ip.SetMethod(prototype(u"__BoolPrototype"), u"Name", NameOfThis);
    h.ip.SetMethod(prototype(u"__NullPrototype"), u"Name", NameOfThis);
    EXPECT_EQ(h.Output("Print('ab'.Twice()) Print((5).Double()) var n = 4 Print(n.Double())"), "abab\n10\n8\n");
    EXPECT_EQ(h.Output("Print(Print.Name()) Print(twice.Name()) Print(true.Name()) var z Print(z.Name())"),
              "[funcBin]\n[func]\ntrue\nnull\n");
    // Tables do not use their prototype: they inherit through "parent" only.
    h.ip.SetMethod(prototype(u"__TablePrototype"), u"Name", NameOfThis);
    EXPECT_EQ(h.Output("Print({}.Name())"), "!errFunctionCallToNonFunction");
    EXPECT_EQ(h.Output("Print((5).Foo())"), "!errFunctionCallToNonFunction");
}

TEST(Instructions, HandAssembledCode)
{
    ScriptHarness h;
    // SETPOS sets the position errors report; METHODMARK and bytes above
    // the last opcode do nothing.
    Code code;
    code.bytes = {OP_SETPOS, 42, 0, 0, 0, 200, OP_METHODMARK, OP_PUSHK};
    code.bytes.insert(code.bytes.end(), 16, 0);
    code.bytes.push_back(OP_NEG);
    code.bytes.push_back(OP_END);
    EXPECT_FALSE(Internals(h.ip).Execute(code, true));
    const Outcome o = h.Take();
    EXPECT_EQ(o.error, "errNumberExpected");
    EXPECT_EQ(o.position, 42);
}

} // namespace
} // namespace vellum::test
