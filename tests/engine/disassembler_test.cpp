// Tests of the disassembler on code the compiler makes: the plain and the
// fused instructions with their operands, and bytes that are no
// instruction or end too early.
#include "engine/compiler/compiler.h"
#include "engine/compiler/disassembler.h"
#include "engine/compiler/opcodes.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

std::string Compiled(ScriptHarness& h, std::u16string_view source)
{
    Code code;
    Compiler::Compile(h.ip, source, kNoSourceText, code, false);
    EXPECT_FALSE(h.ip.ErrorPending());
    return Disassemble(h.ip, code);
}

// The code of the script function a global names, or a note that it is none.
std::string FunctionCode(ScriptHarness& h, std::u16string_view name)
{
    const Value f = h.ip.GetGlobal(name);
    return f.tag == Tag::Func ? Disassemble(h.ip, f.func->code) : "not a function\n";
}

TEST(Disassembler, TopLevelCodeWithJumpsAndCalls)
{
    ScriptHarness h;
    // The loop's test jumps past the loop's end; the body ends with the
    // test again, which jumps back to the body while it holds.
    EXPECT_EQ(Compiled(h, u"var n = 0 while n < 3 n = n + 1 end Print('n=' & n)"),
              "0000 PUSHK 0\n"
              "0017 SETGLOBAL \"n\"\n"
              "0034 GETGLOBAL \"n\"\n"
              "0051 JLTK 3 -> 161\n"
              "0072 GETGLOBAL \"n\"\n"
              "0089 ADDK 1\n"
              "0106 SETGLOBAL \"n\"\n"
              "0123 GETGLOBAL \"n\"\n"
              "0140 LOOPLTK 3 -> 72\n"
              "0161 GETCALLEE \"Print\"\n"
              "0178 PUSHK \"n=\"\n"
              "0195 GETGLOBAL \"n\"\n"
              "0212 CONCAT\n"
              "0213 CALL 2\n"
              "0216 POP\n"
              "0217 END\n");
}

TEST(Disassembler, FusedInstructionsOnLocals)
{
    ScriptHarness h;
    ASSERT_EQ(h.Output("function F(a, b) var c = a * b  a = a - 2  c = a + b + c  return c.k end"), "");
    // Slot 0 is this; a, b and c follow. The function ends with an implicit return of null.
    EXPECT_EQ(FunctionCode(h, u"F"),
              "0000 LMUL 1 2 3\n"
              "0007 INCLOCAL 1 -2\n"
              "0026 GETLOCAL2 1 2\n"
              "0031 ADD\n"
              "0032 GETLOCAL 3\n"
              "0035 ADDSL 3\n"
              "0038 LOCALFIELD 3 \"k\"\n"
              "0057 RET\n"
              "0058 PUSHK null\n"
              "0075 RET\n");
}

TEST(Disassembler, CountedLoopsStepAndTestInOneInstruction)
{
    ScriptHarness h;
    // The increment takes the test of its own counter; the test stays after
    // it for a bound that is not a number. A test of another local, or a
    // body that does not end with the increment, keeps the plain forms.
    ASSERT_EQ(h.Output("function F(n) var i = 0 while i < n i = i + 1 end while i >= 2 i = i - 1 end "
                       "while n > i i = i + 1 end while i < n i = i + 1 n = n - 1 end end"),
              "");
    EXPECT_EQ(FunctionCode(h, u"F"),
              "0000 PUSHK 0\n"
              "0017 SETLOCAL 2\n"
              "0020 GETLOCAL2 2 1\n"
              "0025 JLT -> 59\n"
              "0030 INCLTL 2 1\n"
              "0049 GETLOCAL2 2 1\n"
              "0054 LOOPLT -> 30\n"
              "0059 GETLOCAL 2\n"
              "0062 JGEK 2 -> 126\n"
              "0083 INCGEK 2 -1\n"
              "0102 GETLOCAL 2\n"
              "0105 LOOPGEK 2 -> 83\n"
              "0126 GETLOCAL2 1 2\n"
              "0131 JGT -> 165\n"
              "0136 INCLOCAL 2 1\n"
              "0155 GETLOCAL2 1 2\n"
              "0160 LOOPGT -> 136\n"
              "0165 GETLOCAL2 2 1\n"
              "0170 JLT -> 223\n"
              "0175 INCLOCAL 2 1\n"
              "0194 INCLOCAL 1 -1\n"
              "0213 GETLOCAL2 2 1\n"
              "0218 LOOPLT -> 175\n"
              "0223 PUSHK null\n"
              "0240 RET\n");
}

TEST(Disassembler, AnArrayItemTestedAgainstALocalIndexesAndTestsAtOnce)
{
    ScriptHarness h;
    // The index takes the order test after it, in the loop's copy of the
    // test too; a field, an equality or a constant keeps the plain forms.
    ASSERT_EQ(h.Output("function S(t, x) while t[x] < x x = x + 1 end if t[x] >= x return 1 end "
                       "while t.k < x x = x + 1 end if x == t[x] return 2 end if t[x] < 3 return 3 end return 0 end"),
              "");
    EXPECT_EQ(FunctionCode(h, u"S"),
              "0000 INDEXJLTL 1 2\n"
              "0005 JLTL 2 -> 43\n"
              "0012 INCLOCAL 2 1\n"
              "0031 INDEXLOOPLTL 1 2\n"
              "0036 LOOPLTL 2 -> 12\n"
              "0043 INDEXJGEL 1 2\n"
              "0048 JGEL 2 -> 73\n"
              "0055 PUSHK 1\n"
              "0072 RET\n"
              "0073 LOCALFIELD 1 \"k\"\n"
              "0092 JLTL 2 -> 144\n"
              "0099 INCLOCAL 2 1\n"
              "0118 LOCALFIELD 1 \"k\"\n"
              "0137 LOOPLTL 2 -> 99\n"
              "0144 GETLOCAL 2\n"
              "0147 LOCALINDEX 1 2\n"
              "0152 JEQ -> 175\n"
              "0157 PUSHK 2\n"
              "0174 RET\n"
              "0175 LOCALINDEX 1 2\n"
              "0180 JLTK 3 -> 219\n"
              "0201 PUSHK 3\n"
              "0218 RET\n"
              "0219 PUSHK 0\n"
              "0236 RET\n"
              "0237 PUSHK null\n"
              "0254 RET\n");
}

TEST(Disassembler, FieldStoresAndChainsOfConcatenation)
{
    ScriptHarness h;
    ASSERT_EQ(h.Output("function G(t, s) t.x = s & '-' & s  t.y.z = s end"), "");
    // The name of the stored field moves into the store, and so does the
    // slot of a local table; the chain joins once.
    EXPECT_EQ(FunctionCode(h, u"G"),
              "0000 GETLOCAL 2\n"
              "0003 PUSHK \"-\"\n"
              "0020 GETLOCAL 2\n"
              "0023 CONCATN 3\n"
              "0026 LOCALSETFIELD 1 \"x\"\n"
              "0045 LOCALFIELD 1 \"y\"\n"
              "0064 GETLOCAL 2\n"
              "0067 SETFIELD \"z\"\n"
              "0084 PUSHK null\n"
              "0101 RET\n");
}

TEST(Disassembler, IndexingMethodCallsAndConstantArithmeticOnLocals)
{
    ScriptHarness h;
    ASSERT_EQ(h.Output("function H(t, i, x) var y = x + t[i]  y = i - 1  if t[y] <= x t.Go(y) end  return t[i].Len() end"),
              "");
    // A pair of locals before t[i] splits so that the table and the key
    // load together; a named method keeps its name in the call; x + k on a
    // local pushes without a load; a comparison with a local names its
    // slot; a computed method name keeps CALLMETHOD.
    EXPECT_EQ(FunctionCode(h, u"H"),
              "0000 GETLOCAL 3\n"
              "0003 LOCALINDEX 1 2\n"
              "0008 ADDSL 4\n"
              "0011 LOCALADDK 2 -1\n"
              "0030 SETLOCAL 4\n"
              "0033 INDEXJLEL 1 4\n"
              "0038 JLEL 3 -> 88\n"
              "0045 GETLOCAL 1\n"
              "0048 PUSHK null\n"
              "0065 GETLOCAL 4\n"
              "0068 CALLMETHODK 2 \"Go\"\n"
              "0087 POP\n"
              "0088 LOCALINDEX 1 2\n"
              "0093 PUSHK null\n"
              "0110 CALLMETHODK 1 \"Len\"\n"
              "0129 RET\n"
              "0130 PUSHK null\n"
              "0147 RET\n");
    ASSERT_EQ(h.Output("function M(t, k) t[k](1) end"), "");
    EXPECT_EQ(FunctionCode(h, u"M"),
              "0000 GETLOCAL2 1 2\n"
              "0005 PUSHK null\n"
              "0022 PUSHK 1\n"
              "0039 CALLMETHOD 2\n"
              "0042 POP\n"
              "0043 PUSHK null\n"
              "0060 RET\n");
}

TEST(Disassembler, BytesThatAreNoInstruction)
{
    ScriptHarness h;
    Code code;
    code.bytes = {OP_SETPOS, 42, 0, 0, 0, OP_METHODMARK, OP_CALL, 3, 0, 200, OP_END};
    EXPECT_EQ(Disassemble(h.ip, code), "0000 SETPOS @42\n0005 METHODMARK\n0006 CALL 3\n0009 (no instruction: 200)\n");
    code.bytes = {OP_GETLOCAL2, 1, 0, 2};
    EXPECT_EQ(Disassemble(h.ip, code), "0000 GETLOCAL2 (operand cut short)\n");
    EXPECT_EQ(Disassemble(h.ip, Code{}), "");
}

} // namespace
} // namespace vellum::test
