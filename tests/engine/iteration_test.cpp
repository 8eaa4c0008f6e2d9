// Tests of `for ... in`: the ordered iteration of number-keyed tables, the
// hash order of every other table, loop variables, and leaving a loop early.
#include "engine/core/string_object.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

const char* const kPrintPairs = " for k : v in t Print(k & '=' & v) end";

TEST(Iteration, NumberKeyedTablesIterateTheirIntegerKeysInOrder)
{
    ScriptHarness h;
    EXPECT_EQ(h.Output("var t = {}" + std::string(kPrintPairs)), "");
    EXPECT_EQ(h.Output("t = {10, 20, 30}" + std::string(kPrintPairs)), "0=10\n1=20\n2=30\n");
    EXPECT_EQ(h.Output("t = {} t[5] = 'a' t[2] = 'b'" + std::string(kPrintPairs)), "2=b\n5=a\n");
    // Holes, fractions and negative keys are skipped.
    EXPECT_EQ(h.Output("t = {} t[2.5] = 'f' t[0] = 'z' t[-3] = 'n' t[4] = 'four'" + std::string(kPrintPairs)),
              "0=z\n4=four\n");
    EXPECT_EQ(h.Output("t = {} t[-0.5] = 'h'" + std::string(kPrintPairs)), "");
    // Keys appended while the loop runs are visited.
    EXPECT_EQ(h.Output("t = {1} for k : v in t Print(v) if k < 2 t[] = v + 1 end end"), "1\n2\n3\n");
    // Loop variables may be locals; a value-only loop leaves the key alone.
    EXPECT_EQ(h.Output("function f(t) var n = 0 for k : v in t n = n + k * v end for v in t n = n + v end return n end"
                       " Print(f({10, 20}))"),
              "50\n");
    EXPECT_EQ(h.Output("var last for last in {7, 8, 9} end Print(last)"), "9\n");
}

TEST(Iteration, OtherTablesIterateChainByChainNewestFirst)
{
    EXPECT_EQ(DocumentedHash(u"a") & 255, 128u);
    EXPECT_EQ(DocumentedHash(u"b") & 255, 131u);
    EXPECT_EQ(DocumentedHash(u"c") & 255, 130u);
    EXPECT_EQ(DocumentedHash(u"ab") & 255, 41u);
    for (size_t n = 0; n < 80; ++n) {
        std::u16string s;
        for (size_t i = 0; i < n; ++i) s += static_cast<char16_t>(u'A' + (i * 7) % 50);
        EXPECT_EQ(StringObject::HashOf(s), DocumentedHash(s)) << n;
    }

    ScriptHarness h;
    EXPECT_EQ(h.Output("var t = {b = 1, a = 2, ab = 3, c = 4}" + std::string(kPrintPairs)), "ab=3\na=2\nc=4\nb=1\n");
    // Only negative number keys: hash order, -3 in chain 253 before -1 in chain 255.
    EXPECT_EQ(h.Output("t = {} t[-1] = 'a' t[-3] = 'b' t[-2] = 'c'" + std::string(kPrintPairs)), "-3=b\n-2=c\n-1=a\n");
    // Keys 0 and 256 share chain 0; the newer one comes first.
    EXPECT_EQ(h.Output("t = {10, 20, 30, k = 'x'} t[256] = 'y' t[1] = 21" + std::string(kPrintPairs)),
              "256=y\n0=10\n1=21\n2=30\nk=x\n");
    EXPECT_EQ(h.Output("t = {} t.k = 1 t[256] = 'a' t[0] = 'b' t[1] = 'c' t[257] = 'd'" + std::string(kPrintPairs)),
              "0=b\n256=a\n257=d\n1=c\nk=1\n");
    // Once any other key is stored, number keys iterate in hash order too.
    EXPECT_EQ(h.Output("t = {} t[258] = 'a' t[3] = 'b' t[1] = 'c' t.k = 'd'" + std::string(kPrintPairs)),
              "1=c\n258=a\n3=b\nk=d\n");
    EXPECT_EQ(h.Output("t = {s = 1} t[2.5] = 'f' t[-0.5] = 'h' t[3] = 't'" + std::string(kPrintPairs)),
              "-0.500000=h\n2.500000=f\n3=t\ns=1\n");
    // true in chain 1, false in 2, tables in 77, natives in 123.
    EXPECT_EQ(h.Output("t = {} t['a'] = 5 t[Print] = 4 t[{}] = 3 t[false] = 2 t[true] = 1 for v in t Print(v) end"),
              "1\n2\n3\n4\n5\n");
    // An entry stored during the loop is visited only in a later chain.
    EXPECT_EQ(h.Output("t = {b = 1, a = 2} for k : v in t Print(k) if k == 'a' t.c = 3 t[0] = 4 end end"), "a\nc\nb\n");
}

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

TEST(Iteration, ReturnFromInsideALoop)
{
    ScriptHarness h;
    EXPECT_EQ(h.Output("function first(t) for a in t for b in t if b == 2 return a & b end end end return 'none' end"
                       " for k : v in {1, 2} Print(first({1, 2, 3}) & k) end Print(first({}))"),
              "120\n121\nnone\n");
    // Loops left by a return leave nothing behind on the stack.
    EXPECT_EQ(h.Output("var i = 0 while i < 3000 first({1, 2, 3}) i = i + 1 end Print(i)"), "3000\n");
    EXPECT_EQ(h.Output("function find(t, x) for k : v in t if v == x return k end end end"
                       " Print(find({a = 1, b = 2}, 2)) Print(find({5, 6}, 7))"),
              "b\nnull\n");
    EXPECT_EQ(Internals(h.ip).StackDepth(), 0);
}

} // namespace
} // namespace vellum::test
