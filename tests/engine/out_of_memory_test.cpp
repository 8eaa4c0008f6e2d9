// Tests of running out of memory: an allocation that fails, in a native or
// in the loop, ends the script with errOutOfMemory instead of the process,
// and leaves the interpreter as fit for the next run as any other error.
#include "script_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <stdexcept>

namespace {

// One allocation, the nth from arming, fails as on a machine that ran out;
// every other succeeds. Off while negative.
long failingAllocation = -1;

void* AllocateOrThrow(std::size_t size)
{
    if (failingAllocation >= 0 && failingAllocation-- == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void Release(void* p) noexcept { std::free(p); }

} // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
// The nothrow forms too, so that every block this program frees came from
// the same allocator (a stream's buffer is allocated without throwing).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return AllocateOrThrow(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

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
    EXPECT_EQ(h.Output("Print('a' & HugeText())"), "!errOutOfMemory");
    // Deep calls are unwound; a handler called from native code fails alone
    // and its caller sees the error.
    EXPECT_EQ(h.Output("function f(n) if n == 0 return Exhaust() end return f(n - 1) end Print(f(50))"),
              "!errOutOfMemory");
    EXPECT_TRUE(h.ip.CallFunction(Value::Null(), h.ip.GetGlobal(u"f"), {Value::Number(3)}).IsNull());
    EXPECT_EQ(h.Take().error, "errOutOfMemory");
    // The next run has every level of calls.
    const std::string depth = std::to_string(Interpreter::kMaxCallDepth - 1);
    EXPECT_EQ(h.Output("function e(n) if n == 0 return 'deep' end return e(n - 1) end Print(e(" + depth + "))"),
              "deep\n");
    // Strings are as long as memory allows up to the longest string: 2^25
    // units, twice the handheld's. (The script cases run with a lower
    // longest string, which string_doubling_limit reaches.)
    EXPECT_EQ(h.Output("var s = 'x' var n = 0 while n < 25 s = s & s n = n + 1 end Print(n)"), "25\n");
}

// Compiling allocates too: a source that cannot be compiled for want of
// memory ends with the error like a run does, whichever allocation fails.
TEST_F(OutOfMemory, CompilingThatRunsOutEndsWithTheError)
{
    const std::u16string source = U16("t = {1, 2, 'three'} function f(a) return a & t[2] end Print(f('x'))");
    ASSERT_EQ(h.Output("var t = null"), "");
    long allocation = 0;
    for (;; ++allocation) {
        h.output.clear();
        failingAllocation = allocation;
        h.ip.RunSource(source);
        const bool allTaken = failingAllocation >= 0;
        failingAllocation = -1;
        const Outcome o = h.Take();
        if (allTaken) {
            EXPECT_EQ(o.output, "xthree\n");
            break;
        }
        EXPECT_TRUE(o.error == "errOutOfMemory" || o.error == "errOK") << allocation << ": " << o.error;
    }
    EXPECT_GT(allocation, 10);
}

} // namespace
} // namespace vellum::test
