// Tests of tables and values as natives see them: a random comparison with
// the documented table (count, maxNumericKey, both iteration orders), the
// edge cases of keys and appending, lookups along "parent".
#include "engine/core/table_iterator.h"
#include "script_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace vellum::test {
namespace {

// The documented table: entries in storing order, 256 chains by key hash.
struct ModelTable {
    std::vector<std::pair<Value, Value>> entries;
    double maxNumericKey = -1.0;

    static uint32_t Chain(const Value& key)
    {
        if (key.tag == Tag::Num) return static_cast<uint32_t>(static_cast<int32_t>(std::trunc(key.num))) & 255;
        if (key.tag == Tag::Str) return DocumentedHash(key.str->Utf16()) & 255;
        return key.word != 0 ? 1 : 2;
    }
    void Set(const Value& key, const Value& value)
    {
        for (auto& entry : entries) {
            if (KeysEqual(entry.first, key)) {
                entry.second = value;
                return;
            }
        }
        entries.emplace_back(key, value);
        if (maxNumericKey != -2.0) maxNumericKey = key.tag != Tag::Num ? -2.0 : std::max(maxNumericKey, key.num);
    }
    // Chain by chain, newest first; or ascending integer keys while number-keyed.
    std::vector<Value> IterationOrder(bool hashOrder) const
    {
        std::vector<Value> keys;
        if (hashOrder || maxNumericKey <= -1.0) {
            for (uint32_t chain = 0; chain < 256; ++chain) {
                for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
                    if (Chain(e->first) == chain) keys.push_back(e->first);
                }
            }
            return keys;
        }
        for (double k = 0; k <= maxNumericKey; ++k) {
            for (const auto& e : entries) {
                if (KeysEqual(e.first, Value::Number(k))) keys.push_back(e.first);
            }
        }
        return keys;
    }
};

std::string Keys(Interpreter& ip, const std::vector<Value>& keys)
{
    std::string out;
    for (const Value& k : keys) out += U8(ip.ToString(k, true)->Utf16()) + " ";
    return out;
}

TEST(Tables, BehaveLikeTheDocumentedModel)
{
    ScriptHarness h;
    Interpreter& ip = h.ip;
    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        // Tables start with up to 8 entries in their own block, some of them
        // growing past it, some not, some past the direct search.
        TableObject* table = ip.NewTable(round % 10);
        ModelTable model;
        double next = 0;
        // Every third round stays number-keyed, so that the ordered iterator is used.
        const uint32_t kinds = round % 3 == 0 ? 5 : 7;
        for (uint32_t i = 0, stores = random() % (round % 2 == 0 ? 700 : 14); i < stores; ++i) {
            Value key;
            switch (random() % kinds) {
            case 0:
                key = Value::Number(next++); // ascending, as arrays are built
                break;
            case 1:
                key = Value::Number(random() % 300);
                break;
            case 2:
                key = Value::Number(256.0 * (random() % 4) + random() % 3); // shared chains
                break;
            case 3:
                key = Value::Number(-1.0 - random() % 300);
                break;
            case 4:
                key = Value::Number((random() % 600) / 4.0 - 20);
                break;
            case 5:
                key = ip.MakeString(u"k" + U16(std::to_string(random() % 60)));
                break;
            default:
                key = Value::Bool(random() % 2 == 0);
                break;
            }
            table->Set(key, Value::Number(i));
            model.Set(key, Value::Number(i));
        }
        ASSERT_EQ(table->Count(), model.entries.size());
        ASSERT_EQ(table->MaxNumericKey(), model.maxNumericKey);
        for (const auto& [k, v] : model.entries) ASSERT_EQ(table->Get(k).num, v.num);
        ASSERT_TRUE(table->Get(ip.MakeString(u"missing")).IsNull());

        std::vector<Value> hashOrder, iterated;
        TableObject::HashCursor cursor;
        Value key, value;
        while (table->NextInHashOrder(cursor, key, value)) hashOrder.push_back(key);
        ASSERT_EQ(Keys(ip, hashOrder), Keys(ip, model.IterationOrder(true))) << "round " << round;
        TableIterator iterator(*table);
        while (iterator.Next(key, value)) iterated.push_back(key);
        ASSERT_EQ(Keys(ip, iterated), Keys(ip, model.IterationOrder(false))) << "round " << round;
    }
}

TEST(Tables, KeysAppendingAndLookups)
{
    ScriptHarness h;
    Interpreter& ip = h.ip;
    TableObject* t = ip.NewTable();
    t->Set(Value::Number(-5), Value::Bool(true));
    EXPECT_EQ(t->MaxNumericKey(), -1.0);
    // Storing null keeps the entry; 0 and -0 are one key.
    t->Set(Value::Number(0), Value::Null());
    t->Set(Value::Number(-0.0), Value::Bool(false));
    t->Set(Value::Number(2), Value::Null());
    EXPECT_EQ(t->Count(), 3u);
    Value v;
    EXPECT_TRUE(t->Find(Value::Number(2), v));
    EXPECT_FALSE(t->Find(Value::Number(1), v));
    EXPECT_EQ(t->Get(Value::Number(0)).tag, Tag::Bool);

    // Appending goes after the largest number key, or to 0 while it is negative.
    TableObject* list = ip.NewTable();
    list->Append(Value::Number(10));
    list->Append(Value::Number(11));
    list->Set(Value::Number(7.5), Value::Null());
    list->Append(Value::Number(12));
    EXPECT_EQ(list->Get(Value::Number(1)).num, 11);
    EXPECT_EQ(list->Get(Value::Number(8.5)).num, 12);
    TableObject* record = ip.NewTable();
    record->Set(ip.MakeString(u"k"), Value::Null());
    record->Append(Value::Number(1));
    EXPECT_EQ(record->Get(Value::Number(0)).num, 1);

    // Lookups follow "parent" past stored nulls; a cycle ends the lookup.
    TableObject* base = ip.NewTable();
    TableObject* leaf = ip.NewTable();
    ip.TableSet(base, u"x", Value::Number(1));
    SetParent(ip, leaf, Value::Table(base));
    ip.TableSet(leaf, u"x", Value::Null());
    EXPECT_EQ(ip.TableGet(leaf, u"x").num, 1);
    EXPECT_TRUE(leaf->Get(ip.MakeString(u"x")).IsNull());
    SetParent(ip, base, Value::Table(leaf));
    EXPECT_TRUE(ip.TableGet(leaf, u"y").IsNull());
    ip.TableSet(leaf, u"link", Value::Table(base));
    EXPECT_EQ(ip.GetTableField(leaf, u"link"), base);
    EXPECT_EQ(ip.GetTableField(leaf, u"x"), nullptr);
    EXPECT_EQ(ip.Intern(u"same"), ip.Concatenate(ip.MakeString(u"sa"), ip.MakeString(u"me")));
}

} // namespace
} // namespace vellum::test
