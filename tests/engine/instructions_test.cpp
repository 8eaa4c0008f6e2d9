// Tests of what the instructions do beyond the scripts' cases: code no
// compiler makes.
#include "engine/compiler/opcodes.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

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
    EXPECT_EQ(h.ip.ErrorIdentifier(), errNumberExpected);
    EXPECT_EQ(h.ip.ErrorPosition(), 42);
}

} // namespace
} // namespace vellum::test
