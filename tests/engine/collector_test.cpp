// Tests of the collector: what it frees and what it keeps, and its pacing.
#include "engine/core/collector.h"
#include "engine/core/table_iterator.h"
#include "script_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace vellum::test {
namespace {

// A native object that reports its destruction and keeps a value alive.
class Probe : public GcObject {
public:
    explicit Probe(bool& destroyed, const Value& held = {}) : destroyed(destroyed), held(held) {}
    ~Probe() override { destroyed = true; }
    void Mark(Collector& collector) override { collector.MarkValue(held); }

private:
    bool& destroyed;
    Value held;
};

const char* const kChurn = "function Churn(n) var i = 0 while i < n var t = {} i = i + 1 end end";

class Collector : public testing::Test {
protected:
    // Collects and gives the number of objects that remain.
    int32_t Settled()
    {
        ip.Collect();
        return ip.ObjectCount();
    }

    ScriptHarness h;
    Interpreter& ip = h.ip;
};

TEST_F(Collector, FreesWhatNothingReaches)
{
    ASSERT_EQ(h.Output("var t = {{}, {}, {}} var s = 'abc' & 'def'"), "");
    const int32_t before = Settled();
    EXPECT_EQ(ip.NewObjectsNum(), 0);
    ASSERT_EQ(h.Output("t = null s = null"), "");
    EXPECT_EQ(Settled(), before - 5);
    EXPECT_EQ(h.Output("Print('abc' & 'def' == 'abcdef')"), "true\n");

    // Long chains are marked without exhausting the native stack.
    ASSERT_EQ(h.Output("var chain = null var i = 0 while i < 100000 chain = {chain} i = i + 1 end"), "");
    const int32_t withChain = Settled();
    ASSERT_EQ(h.Output("chain = null"), "");
    EXPECT_EQ(Settled(), withChain - 100000);

    // Collected strings leave the intern set; kept ones are found again.
    TableObject* kept = ip.NewTable();
    ip.SetGlobal(u"kept", kept);
    for (int i = 0; i < 6000; ++i) {
        StringObject* s = ip.Intern(U16("s" + std::to_string(i)));
        if (i % 2 == 0) kept->Set(Value::Number(i), Value::String(s));
    }
    const int32_t strings = Settled();
    for (int i = 0; i < 6000; ++i) {
        StringObject* s = ip.Intern(U16("s" + std::to_string(i)));
        EXPECT_EQ(U8(s->Utf16()), "s" + std::to_string(i));
        EXPECT_TRUE(i % 2 != 0 || kept->Get(Value::Number(i)).str == s);
    }
    EXPECT_EQ(ip.ObjectCount(), strings + 3000);

    // Rounds of making and dropping scattered strings: the set closes the
    // gaps collected strings leave, and a kept string is found as itself.
    TableObject* survivors = ip.NewTable();
    ip.SetGlobal(u"survivors", survivors);
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 20000; ++i) {
            StringObject* s = ip.Intern(U16("r" + std::to_string(round) + "/" + std::to_string(i)));
            if ((i * 7919 + round) % 5 == 0) survivors->Set(Value::String(s), Value::String(s));
        }
        ip.Collect();
        TableIterator it(*survivors);
        Value key, value;
        int found = 0;
        while (it.Next(key, value)) {
            EXPECT_EQ(ip.Intern(key.str->Utf16()), key.str);
            ++found;
        }
        EXPECT_EQ(found, 4000 * (round + 1));
    }
}

// The host_functions script checks the switch that turns this off.
TEST_F(Collector, CollectsAsScriptsRunByCountAndBySize)
{
    ASSERT_EQ(h.Output(kChurn), "");
    const int32_t base = Settled();
    ASSERT_EQ(h.Output("Churn(5000)"), "");
    EXPECT_LT(ip.ObjectCount(), base + 1100);
    // Each round makes one 128 KiB text and drops it: 64 MiB in 500 objects,
    // far fewer than the 1000 that would make a collection due by count.
    ASSERT_EQ(h.Output("var s = 'x' var n = 1 while n < 65536 s = s & s n = n + n end"), "");
    const int32_t settled = Settled();
    ASSERT_EQ(h.Output("var i = 0 var t = null while i < 500 t = s & i i = i + 1 end"), "");
    EXPECT_LT(ip.ObjectCount(), settled + 100);
    EXPECT_EQ(h.Output("Print(t == s & 499)"), "true\n");
}

TEST(CollectorStressMode, CollectsAfterEveryInstructionThatMadeObjects)
{
#ifdef NDEBUG
    GTEST_SKIP() << "VELLUM_GC_STRESS is read by Debug builds only";
#else
    const char* outer = std::getenv("VELLUM_GC_STRESS");
    const std::string saved = outer != nullptr ? outer : "";
    setenv("VELLUM_GC_STRESS", "1", 1);
    ScriptHarness h;
    if (outer != nullptr) {
        setenv("VELLUM_GC_STRESS", saved.c_str(), 1);
    } else {
        unsetenv("VELLUM_GC_STRESS");
    }
    Interpreter& ip = h.ip;
    ASSERT_EQ(h.Output(kChurn), "");
    ip.Collect();
    const int32_t base = ip.ObjectCount();
    // Nothing but the newest table outlives the next instruction, and what
    // the script still reaches survives every collection.
    EXPECT_EQ(h.Output("var kept = {'a' & 'b'} Churn(300) Print(NewObjectsNum() <= 1) Print(kept[0])"),
              "true\nab\n");
    EXPECT_LT(ip.ObjectCount(), base + 10);
#endif
}

// A native object whose destructor makes another object, as a native
// object's clean-up may.
class Maker : public GcObject {
public:
    Maker(Interpreter& ip, bool& madeGone) : ip(ip), madeGone(madeGone) {}
    ~Maker() override { ip.Make<Probe>(madeGone); }

private:
    Interpreter& ip;
    bool& madeGone;
};

TEST(CollectorSweep, AnObjectMadeWhileSweepingLivesUntilTheNextCollection)
{
    bool firstGone = false, lastGone = false;
    {
        ScriptHarness h;
        Interpreter& ip = h.ip;
        // Enough garbage around the maker that the sweep moves survivors
        // across blocks of the object list.
        ASSERT_EQ(h.Output("var keep = {} var i = 0 while i < 10000 keep[] = {} var t = {} i = i + 1 end"), "");
        ip.Make<Maker>(ip, firstGone);
        ip.Collect();
        EXPECT_FALSE(firstGone);
        const int32_t withMade = ip.ObjectCount();
        ip.Collect();
        EXPECT_TRUE(firstGone);
        EXPECT_EQ(ip.ObjectCount(), withMade - 1);
        EXPECT_EQ(h.Output("var n = 0 for t in keep n = n + 1 end Print(n)"), "10000\n");
        // One made during tear-down goes too.
        ip.Make<Maker>(ip, lastGone);
    }
    EXPECT_TRUE(lastGone);
}

// A native object whose marking fails once, as a grey stack that cannot
// grow would.
class FailingMark : public GcObject {
public:
    explicit FailingMark(bool& fail) : fail(fail) {}
    void Mark(vellum::Collector&) override
    {
        if (fail) {
            fail = false;
            throw std::bad_alloc();
        }
    }

private:
    bool& fail;
};

TEST_F(Collector, AMarkingThatRunsOutOfMemoryLeavesTheNextCollectionWhole)
{
    ASSERT_EQ(h.Output("var keep = {{'a'}, {'b' & 'c'}}"), "");
    bool fail = true;
    ValueRoot root(ip, Value::Pointer(ip.Make<FailingMark>(fail)));
    EXPECT_THROW(ip.Collect(), std::bad_alloc);
    // The next collection runs, frees what nothing reaches and keeps all
    // that the interrupted one had only begun to trace.
    ASSERT_EQ(h.Output("var i = 0 while i < 100 var t = {} i = i + 1 end"), "");
    const int32_t before = ip.ObjectCount();
    EXPECT_LT(Settled(), before);
    EXPECT_EQ(h.Output("Print(keep[0][0] & keep[1][0])"), "abc\n");
}

TEST_F(Collector, CompiledCodeKeepsItsConstantsWhenTheirTableIsEmptied)
{
    ASSERT_EQ(h.Output(std::string(kChurn) + " function Keep() return 'kept ' & 'literal' end"), "");
    const int32_t before = Settled();
    TableObject* constants = ip.GetGlobal(u"__CodeConstants").table;
    for (size_t i = 0; i < constants->Count(); ++i) constants->Set(Value::Number(static_cast<double>(i)), Value::Null());
    EXPECT_EQ(Settled(), before);
    ASSERT_EQ(h.Output("Churn(3000)"), "");
    EXPECT_EQ(h.Output("Print(Keep())"), "kept literal\n");
}

} // namespace
} // namespace vellum::test
