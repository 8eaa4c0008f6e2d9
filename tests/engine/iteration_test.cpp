// Tests of `for ... in` beyond the orders the scripts check: number keys
// far apart.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(Iteration, SparseNumberKeysAreVisitedWithoutCountingUpToThem)
{
    ScriptHarness h;
    // Keys far apart, beyond 2^32 and around 2^53 where counting by one
    // would stall, and an infinite one: each once, ascending.
    EXPECT_EQ(h.Output("var t = {} t[65536 * 65536 * 2097152 + 2] = 'e' t[1 / 0] = 'f' t[3000 * 1000000] = 'c'"
                       " t[65536 * 65536 * 2097152] = 'd' t[7] = 'b' t[0] = 'a' t[1e15 + 0.5] = 'skipped'"
                       " for k : v in t Print(v) end"),
              "a\nb\nc\nd\ne\nf\n");
    // Keys stored ahead of the loop while it runs are visited, behind it not;
    // the loop goes from dense runs to far keys and back.
    EXPECT_EQ(h.Output("t = {0, 1, 2} t[1000000000] = 3 for k : v in t Print(k & ':' & v)"
                       " if v == 1 t[500000000] = 9 t[1] = 8 end"
                       " if v == 3 t[1000000001] = 4 t[5] = 0 end end"),
              "0:0\n1:1\n2:2\n500000000:9\n1000000000:3\n1000000001:4\n");
    // A far key and a name: the whole table goes in hash order as before.
    EXPECT_EQ(h.Output("t = {} t[4000000000] = 1 t.k = 2 var n = 0 for v in t n = n + v end Print(n)"), "3\n");
}

} // namespace
} // namespace vellum::test
