// Tests of what the instructions do beyond the scripts' cases, through
// small scripts and their exact output: arithmetic on locals, chains of
// concatenation, the methods of values other than tables, and code no
// compiler makes.
#include "engine/compiler/opcodes.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(Instructions, ArithmeticAndConcatenation)
{
    ScriptHarness h;
    EXPECT_EQ(h.Output("Print(+'s') Print(true & {})"), "s\ntrue{\n} \n\n");
    // Arithmetic on function locals, which runs without the stack.
    EXPECT_EQ(h.Output("function F(a, b) var c = a * b  a = a + 1  b = b - 0.5  c = c - a  var d = a / b"
                       "  d = d + c  c = b + a  a = a - {n = 2}.n  return a & ' ' & b & ' ' & c & ' ' & d end"
                       " Print(F(3, 4))"),
              "2 3.500000 7.500000 9.142857\n");
    // Division follows IEEE 754 without an error.
    EXPECT_EQ(h.Output("Print(1 / 0 > 1e300) Print(-1 / 0 < -1e300) Print(0 / 0 == 0 / 0)"), "true\ntrue\nfalse\n");
}

TEST(Instructions, ChainsOfConcatenationJoinOnce)
{
    ScriptHarness h;
    EXPECT_EQ(h.Output("var i = 7 Print('k' & i & '=' & (i + i) & ';' & 0.5 & null & true)"), "k7=14;0.500000nulltrue\n");
    // Longer chains than one join takes, and chains inside operands.
    EXPECT_EQ(h.Output("Print(1 & 2 & 3 & 4 & 5 & 6 & 7 & 8 & 9 & 10 & 11 & 12 & 13 & 14 & 15 & 16 & 17 & 18)"),
              "123456789101112131415161718\n");
    EXPECT_EQ(h.Output("var a = 'a' Print(a & (a & 'b' & (1 & 2)) & 'c' & (a & a))"), "aab12caa\n");
    // A call in a later operand runs before the texts are joined; the
    // earlier operands read as they were when reached.
    EXPECT_EQ(h.Output("var t = {} function Grow() t.n = 1 return 'g' end Print(t & '|' & Grow() & '|' & t)"),
              "{\n} \n|g|{\n\"n\" = 1\n} \n\n");
    // Equal texts are still one string: a joined key finds the table entry.
    EXPECT_EQ(h.Output("var u = {abc = 1} var b = 'b' Print(u['a' & b & 'c'])"), "1\n");
}

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
