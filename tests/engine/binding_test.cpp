// Tests of the binding API natives use: properties and native objects.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

// Gives `this` when the cell past the last argument reads as null.
uint32_t Self(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (!ip.ArgValue(ip.ArgCount()).IsNull()) return 0;
    ip.PushValue(ip.ArgValue(0));
    return 1;
}

class Thing : public GcObject {
public:
    explicit Thing(double id) : id(id) {}
    const double id;
};

uint32_t ThingCreate(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 1)) return 0;
    AttachNativeToThis(ip, ip.Make<Thing>(ip.ArgNumber(1)));
    return 0;
}

uint32_t ThingId(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 0)) return 0;
    const Thing* thing = ThisNative<Thing>(ip);
    if (thing == nullptr) return 0;
    ip.PushNumber(thing->id);
    return 1;
}

class Binding : public ::testing::Test {
protected:
    Binding()
    {
        ip.RegisterFunction(u"Self", Self);
        static constexpr ClassMethod kThingMethods[] = {{u"Create", ThingCreate}, {u"Id", ThingId}};
        DefineClass(ip, u"TThing", kThingMethods);
    }
    ScriptHarness h;
    Interpreter& ip = h.ip;
};

TEST_F(Binding, PropertiesAndNativeObjects)
{
    ASSERT_EQ(h.Output("var t = {w = 5, function h() return this.w * 2 end, me = Self, parent = {z = 'z'}}"), "");
    TableObject* t = ip.GetGlobal(u"t").table;
    EXPECT_EQ(ip.GetProperty(t, u"w").num, 5);
    EXPECT_EQ(ip.GetProperty(t, u"h").num, 10);
    EXPECT_EQ(ip.GetProperty(t, u"me").table, t);
    EXPECT_EQ(U8(ip.GetProperty(t, u"z").str->Utf16()), "z");
    EXPECT_TRUE(ip.GetProperty(t, u"missing").IsNull());
    EXPECT_EQ(Internals(ip).StackDepth(), 0);

    // Methods find the native object through "parent" like any field.
    EXPECT_EQ(h.Output("var a = {parent = TThing} a.Create(7) var b = {parent = a} Print(a.Id() & b.Id())"
                       " var c = {parent = TThing} Print(c.Id()) Print(TThing.Id()) var f = TThing.Create f(1)"),
              "77\nnull\nnull\n");
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
