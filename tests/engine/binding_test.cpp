// Tests of the binding API natives use: argument checks and readers,
// properties, native objects, calls back into scripts, Die.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

// Counted<min, max>(...): the number of arguments it accepted.
template <int Min, int Max>
uint32_t Counted(Interpreter& ip)
{
    if (!ip.CheckArgs(Min, Max)) return 0;
    ip.PushNumber(ip.ArgCount() - 1);
    return 1;
}

// Kinds(number, bool, table): what the typed readers make of its arguments.
uint32_t Kinds(Interpreter& ip)
{
    if (!ip.CheckArgs(3, -1)) return 0;
    const double n = ip.ArgNumber(1);
    const uint32_t b = ip.ArgBool(2);
    const TableObject* t = ip.ArgTable(3);
    if (ip.ErrorPending()) return 0;
    ip.PushString(U16(std::to_string(static_cast<int>(n)) + (b != 0 ? "T" : "F") + std::to_string(t->Count())));
    return 1;
}

// Gives `this` when the cell past the last argument reads as null.
uint32_t Self(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (!ip.ArgValue(ip.ArgCount()).IsNull()) return 0;
    ip.PushValue(ip.ArgValue(0));
    return 1;
}

// Call(f, x): calls f(x) from native code and gives its result.
uint32_t Call(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const Value function = ip.ArgValue(1);
    const Value argument = ip.ArgValue(2);
    const Value result = ip.CallFunction(Value::Null(), function, {argument});
    if (ip.ErrorPending()) return 0;
    ip.PushValue(result);
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
        ip.RegisterFunction(u"Two", Counted<2, -1>);
        ip.RegisterFunction(u"OneToThree", Counted<1, 3>);
        ip.RegisterFunction(u"Kinds", Kinds);
        ip.RegisterFunction(u"Self", Self);
        ip.RegisterFunction(u"Call", Call);
        static constexpr ClassMethod kThingMethods[] = {{u"Create", ThingCreate}, {u"Id", ThingId}};
        DefineClass(ip, u"TThing", kThingMethods);
    }
    ScriptHarness h;
    Interpreter& ip = h.ip;
};

TEST_F(Binding, ArgumentChecks)
{
    EXPECT_EQ(h.Output("Print(Two(1, 2))"), "2\n");
    const Outcome few = h.Run("Two(1) Print('after')");
    EXPECT_EQ(few.error + few.output, "errFewArguments");
    EXPECT_EQ(few.message, "Too few arguments to function");
    const Outcome many = h.Run("Two(1, 2, 3) Print('after')");
    EXPECT_EQ(many.error + many.output, "errManyArguments");
    EXPECT_EQ(many.message, "Too many arguments to function");
    EXPECT_EQ(h.Output("Print(OneToThree(1)) Print(OneToThree(1, 2, 3))"), "1\n3\n");
    EXPECT_EQ(h.Output("OneToThree()"), "!errFewArguments");
    EXPECT_EQ(h.Output("OneToThree(1, 2, 3, 4)"), "!errManyArguments");

    EXPECT_EQ(h.Output("Print(Kinds(2.5, true, {1, k = 2}))"), "2T2\n");
    EXPECT_EQ(h.Output("Kinds('2', true, {}) Print('after')"), "!errNumberExpected");
    EXPECT_EQ(h.Output("Kinds(2, 1, 5)"), "!errBoolExpected");
    EXPECT_EQ(h.Run("Kinds(2, true, 5)").message, "Table expected");
    // A native that pushes nothing gives null; `this` is the method's table.
    EXPECT_EQ(h.Output("Print(TThing.Create(1)) var t = {f = Self, n = 1} Print(t.f().n) Print(Self(2))"),
              "null\n1\nnull\n");
    EXPECT_EQ(Internals(ip).StackDepth(), 0);
}

TEST_F(Binding, PropertiesAndNativeObjects)
{
    ASSERT_EQ(h.Output("var t = {w = 5, function h() return this.w * 2 end, me = Self, parent = {z = 'z'}}"), "");
    TableObject* t = ip.GetGlobal(u"t").table;
    EXPECT_EQ(ip.GetProperty(t, u"w").num, 5);
    EXPECT_EQ(ip.GetProperty(t, u"h").num, 10);
    EXPECT_EQ(ip.GetProperty(t, u"me").table, t);
    EXPECT_EQ(U8(ip.GetProperty(t, u"z").str->View()), "z");
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

TEST_F(Binding, CallbacksRestoreTheStack)
{
    ASSERT_EQ(h.Output("function Add(a, b) return a + b end function Fail() return 1 + {} end"
                       " function Quit() Die() end var obj = {k = 10, function Get(x) return this.k + x end}"),
              "");
    ip.PushNumber(99); // what lies below a callback stays as it is
    const int depth = Internals(ip).StackDepth();
    auto call = [&](std::u16string_view name, std::initializer_list<Value> args) {
        const Value result = ip.CallFunction(Value::Null(), ip.GetGlobal(name), args);
        EXPECT_EQ(Internals(ip).StackDepth(), depth) << U8(name);
        return result;
    };
    EXPECT_EQ(call(u"Add", {Value::Number(2), Value::Number(3)}).num, 5);
    EXPECT_TRUE(call(u"Fail", {}).IsNull());
    EXPECT_EQ(h.Take().error, "errNumberExpected");
    EXPECT_TRUE(call(u"Quit", {}).IsNull());
    EXPECT_FALSE(ip.ErrorPending());
    EXPECT_EQ(call(u"Two", {Value::Number(1), Value::Number(2)}).num, 2);
    EXPECT_TRUE(call(u"Two", {Value::Number(1)}).IsNull());
    EXPECT_EQ(h.Take().error, "errFewArguments");
    TableObject* obj = ip.GetGlobal(u"obj").table;
    EXPECT_EQ(ip.CallMethod(obj, u"Get", {Value::Number(5)}).num, 15);
    EXPECT_TRUE(ip.CallMethod(obj, u"Missing").IsNull());
    EXPECT_EQ(h.Take().error, "errFunctionCallToNonFunction");
    EXPECT_EQ(Internals(ip).StackDepth(), depth);
    EXPECT_FALSE(ip.PopBool());
}

TEST_F(Binding, DieStopsQuietlyUpToTheNativeEntry)
{
    EXPECT_EQ(h.Output("function deep(n) if n == 0 Die() end deep(n - 1) end deep(150) Print('no')"), "");
    EXPECT_EQ(h.Output("function e2(n) if n == 0 return 'deep' end return e2(n - 1) end Print(e2(" +
                       std::to_string(Interpreter::kMaxCallDepth - 1) + "))"),
              "deep\n");
    // A callback started by a native ends alone; the script that called the native goes on.
    EXPECT_EQ(h.Output("function g(x) Print(x) Die() Print('no') end Print(Call(g, 1)) Print('after')"),
              "1\nnull\nafter\n");
    // A real error in the callback stops the caller too.
    EXPECT_EQ(h.Output("function Fail() return 1 + {} end Print(Call(Fail)) Print('no')"), "!errNumberExpected");
    EXPECT_EQ(Internals(ip).StackDepth(), 0);
}

} // namespace
} // namespace vellum::test
