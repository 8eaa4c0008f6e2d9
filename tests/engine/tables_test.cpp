// Tests of tables as natives see them: a random comparison with the
// documented table (count, maxNumericKey, both iteration orders).
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

} // namespace
} // namespace vellum::test
