// Tests of running out of memory: an allocation that fails, in a native or
// in the loop, ends the script with errOutOfMemory instead of the process,
// and leaves the interpreter as fit for the next run as any other error.
#include "script_harness.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace vellum::test {
namespace {

// Stands in for a native whose text or table could not be allocated.
uint32_t Exhaust(Interpreter&) { throw std::bad_alloc(); }

// A request larger than any string can be fails before allocating.
uint32_t HugeText(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 0)) return 0;
    std::u16string text;
    text.reserve(text.max_size() + 1);
    return 0;
}

class OutOfMemory : public testing::Test {
protected:
    OutOfMemory()
    {
        h.ip.RegisterFunction(u"Exhaust", Exhaust);
        h.ip.RegisterFunction(u"HugeText", HugeText);
    }
    ScriptHarness h;
};

TEST_F(OutOfMemory, AFailedAllocationEndsTheScriptWithAnError)
{
    const Outcome o = h.Run("Print(1) Exhaust() Print(2)");
    EXPECT_EQ(o.output, "1\n");
    EXPECT_EQ(o.error, "errOutOfMemory");
    EXPECT_EQ(o.message, "Out of memory");
    EXPECT_EQ(Internals(h.ip).StackDepth(), 0);
    EXPECT_EQ(h.Output("Print('a' & HugeText())"), "!errOutOfMemory");
    EXPECT_EQ(Internals(h.ip).StackDepth(), 0);
}

TEST_F(OutOfMemory, DeepCallsAreUnwoundAndTheNextRunHasEveryLevel)
{
    EXPECT_EQ(h.Output("function f(n) if n == 0 return Exhaust() end return f(n - 1) end Print(f(50)) Print(3)"),
              "!errOutOfMemory");
    EXPECT_EQ(Internals(h.ip).StackDepth(), 0);
    // A handler called from native code fails alone; its caller sees the error.
    const Value handler = h.ip.GetGlobal(u"f");
    EXPECT_TRUE(h.ip.CallFunction(Value::Null(), handler, {Value::Number(3)}).IsNull());
    EXPECT_EQ(h.Take().error, "errOutOfMemory");
    EXPECT_EQ(Internals(h.ip).StackDepth(), 0);
    const std::string depth = std::to_string(Interpreter::kMaxCallDepth - 1);
    EXPECT_EQ(h.Output("function e(n) if n == 0 return 'deep' end return e(n - 1) end Print(e(" + depth + "))"),
              "deep\n");
}

} // namespace
} // namespace vellum::test
