// Tests of the binding kit natives use: declaring a class from a method
// array, another library extending it, instances tied to their native
// objects and found again by type, and properties read from native code.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class Counter : public GcObject {
public:
    explicit Counter(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~Counter() override
    {
        if (destroyed != nullptr) *destroyed = true;
    }
    int count = 0;

private:
    bool* destroyed;
};

class Other : public GcObject {};

// Counter(): an instance deriving from `this` with a counter of its own.
uint32_t CounterDefault(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    TableObject* instance = ip.NewTable();
    BindNative(ip, instance, ip.ArgValue(0), ip.Make<Counter>());
    ip.PushValue(Value::Table(instance));
    return 1;
}

uint32_t CounterNext(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (Counter* counter = ThisNative<Counter>(ip)) ++counter->count;
    return 0;
}

// The count times a scale: the class's Value gives it as it is, a second
// library's replacement ten times it.
template <int kScale>
uint32_t CounterValue(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const Counter* counter = ThisNative<Counter>(ip);
    if (counter == nullptr) return 0;
    ip.PushNumber(counter->count * kScale);
    return 1;
}

// What a second library adds: a method of its own and one replacing Value.
uint32_t CounterReset(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (Counter* counter = ThisNative<Counter>(ip)) counter->count = 0;
    return 0;
}

// Gives `this` when the cell past the last argument reads as null.
uint32_t Self(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (!ip.ArgValue(ip.ArgCount()).IsNull()) return 0;
    ip.PushValue(ip.ArgValue(0));
    return 1;
}

constexpr ClassMethod kCounterMethods[] = {
    {u"Default", CounterDefault}, {u"Next", CounterNext}, {u"Value", CounterValue<1>}};

constexpr ClassMethod kExtraMethods[] = {{u"Reset", CounterReset}, {u"Value", CounterValue<10>}};

class ClassBinding : public ::testing::Test {
protected:
    ClassBinding() { counterClass = DefineClass(ip, u"Counter", kCounterMethods); }

    ScriptHarness h;
    Interpreter& ip = h.ip;
    TableObject* counterClass = nullptr;
};

TEST_F(ClassBinding, AnotherLibraryExtendsTheClass)
{
    ASSERT_EQ(h.Output("var c = Counter() c.Next() c.Next()"), "");
    // Added later, the methods reach instances made before.
    EXPECT_TRUE(AddMethods(ip, u"Counter", kExtraMethods));
    EXPECT_EQ(h.Output("Print(c.Value()) c.Reset() c.Next() Print(c.Value())"), "20\n10\n");
    EXPECT_EQ(ip.TableGet(counterClass, u"Default").native, CounterDefault);

    // A class that does not exist, or a global that is no table, gets nothing.
    EXPECT_FALSE(AddMethods(ip, u"Missing", kExtraMethods));
    EXPECT_TRUE(ip.GetGlobal(u"Missing").IsNull());
    ip.SetGlobal(u"Number", Value::Number(3));
    EXPECT_FALSE(AddMethods(ip, u"Number", kExtraMethods));
    EXPECT_EQ(ip.GetGlobal(u"Number").num, 3);
}

TEST_F(ClassBinding, NativeObjectsAreFoundByType)
{
    ASSERT_EQ(h.Output("var c = Counter() c.Next() var derived = {parent = c} var plain = {k = 1}"
                       " var fake = {parent = {k = 2}}"),
              "");
    TableObject* c = ip.GetGlobal(u"c").table;
    Counter* counter = NativeOf<Counter>(ip, c);
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->count, 1);
    // Inherited like any field.
    EXPECT_EQ(NativeOf<Counter>(ip, ip.GetGlobal(u"derived")), counter);
    EXPECT_EQ(NativeObjectOf(ip, c), counter);
    // The wrong type, a table without an object, no table at all: none.
    EXPECT_EQ(NativeOf<Other>(ip, c), nullptr);
    EXPECT_EQ(NativeOf<Counter>(ip, ip.GetGlobal(u"plain")), nullptr);
    EXPECT_EQ(NativeOf<Counter>(ip, ip.GetGlobal(u"fake")), nullptr);
    EXPECT_EQ(NativeObjectOf(ip, ip.GetGlobal(u"plain").table), nullptr);
    EXPECT_EQ(NativeOf<Counter>(ip, Value::Number(1)), nullptr);
    EXPECT_EQ(NativeOf<Counter>(ip, static_cast<TableObject*>(nullptr)), nullptr);
    // A table whose object field holds something else than a native object.
    ASSERT_EQ(h.Output("var wrong = {pObject = 5}"), "");
    EXPECT_EQ(NativeOf<Counter>(ip, ip.GetGlobal(u"wrong")), nullptr);
    // Methods called on such tables do nothing.
    EXPECT_EQ(h.Output("Counter.Next() plain.f = Counter.Value Print(plain.f())"), "null\n");
}

TEST_F(ClassBinding, PropertiesCallMethodsAndNativesAndFollowParent)
{
    ip.RegisterFunction(u"Self", Self);
    ASSERT_EQ(h.Output("var t = {w = 5, function h() return this.w * 2 end, me = Self, parent = {z = 'z'}}"), "");
    TableObject* t = ip.GetGlobal(u"t").table;
    EXPECT_EQ(ip.GetProperty(t, u"w").num, 5);
    EXPECT_EQ(ip.GetProperty(t, u"h").num, 10);
    EXPECT_EQ(ip.GetProperty(t, u"me").table, t);
    EXPECT_EQ(U8(ip.GetProperty(t, u"z").str->Utf16()), "z");
    EXPECT_TRUE(ip.GetProperty(t, u"missing").IsNull());
    EXPECT_EQ(Internals(ip).StackDepth(), 0);
    // A native attaches its object to `this` only when that is a table.
    ip.RegisterFunction(u"Attach", [](Interpreter& ip) -> uint32_t {
        if (ip.CheckArgs(0, 0)) AttachNativeToThis(ip, ip.Make<Other>());
        return 0;
    });
    ASSERT_EQ(h.Output("var a = {} a.Attach = Attach a.Attach() Attach()"), "");
    EXPECT_NE(NativeOf<Other>(ip, ip.GetGlobal(u"a")), nullptr);

    int32_t n = 0;
    EXPECT_TRUE(Interpreter::ValueToInt(Value::Number(-3.9), n));
    EXPECT_EQ(n, -3);
    EXPECT_FALSE(Interpreter::ValueToInt(ip.MakeString(u"3"), n));
    ip.PushBool(true);
    ip.PushNumber(1);
    EXPECT_FALSE(ip.PopBool());
    EXPECT_TRUE(ip.PopBool());
}

} // namespace
} // namespace vellum::test
