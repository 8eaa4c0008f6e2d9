#include "engine/core/table_iterator.h"

#include <algorithm>
#include <cmath>

namespace vellum {

namespace {

// Above this, adding one to a double may not change it.
constexpr double kLargestCountable = 9007199254740992.0;

} // namespace

bool TableIterator::NextBeyondArray(Value& key, Value& value)
{
    if (!ordered) return table.NextInHashOrder(cursor, key, value);
    for (;;) {
        const double max = table.MaxNumericKey();
        if (Sparse()) {
            // The same keys in the same order as counting would give, found
            // by jumping from one stored integer key to the next.
            if (keysForCount != table.Count()) CollectKeysAbove();
            while (nextKey < keys.size() && keys[nextKey] <= counter) ++nextKey;
            if (nextKey == keys.size() || keys[nextKey] > max) return false;
            counter = keys[nextKey++];
        } else {
            counter += 1.0;
            if (counter > max) return false;
        }
        key = Value::Number(counter);
        if (table.Find(key, value)) return true;
    }
}

bool TableIterator::Sparse() const
{
    const double max = table.MaxNumericKey();
    return max >= kLargestCountable || max - counter > 2.0 * static_cast<double>(table.Count()) + 16.0;
}

void TableIterator::CollectKeysAbove()
{
    keys.clear();
    nextKey = 0;
    keysForCount = table.Count();
    TableObject::HashCursor all;
    Value k, v;
    while (table.NextInHashOrder(all, k, v)) {
        if (k.IsNum() && k.num > counter && k.num == std::trunc(k.num)) keys.push_back(k.num);
    }
    std::sort(keys.begin(), keys.end());
}

} // namespace vellum
