// The iteration `for ... in` sees. A table whose keys so far are all
// numbers, one of them above -1, iterates its integer keys 0, 1, 2, ... in
// ascending order (reading maxNumericKey afresh at every step, so keys
// appended during the loop are visited); any other table iterates in hash
// order, chain by chain.
#pragma once

#include "engine/core/table_object.h"
#include "engine/core/value.h"

#include <cstddef>
#include <vector>

namespace vellum {

class TableIterator {
public:
    explicit TableIterator(const TableObject& table)
        : table(table), ordered(table.MaxNumericKey() > -1.0)
    {
    }

    // The next entry, or false when the iteration is over.
    bool Next(Value& key, Value& value)
    {
        // Counting on through the table's array: the next integer key is
        // stored there, so it is the next one whatever else the table holds.
        const double next = counter + 1.0;
        if (ordered && next <= table.MaxNumericKey()) {
            key = Value::Number(next);
            if (const Value* stored = table.InArray(key)) {
                counter = next;
                value = *stored;
                return true;
            }
        }
        return NextBeyondArray(key, value);
    }

private:
    bool NextBeyondArray(Value& key, Value& value);
    // Whether counting up one by one to the largest key would visit far
    // more numbers than the table has keys (or could not count at all).
    bool Sparse() const;
    // The table's integer keys above the counter, ascending.
    void CollectKeysAbove();

    const TableObject& table;
    const bool ordered;
    double counter = -1.0;
    TableObject::HashCursor cursor;
    // For sparse tables: the keys still to visit, valid while the table
    // holds keysForCount entries (entries are never removed, so an
    // unchanged count means an unchanged set of keys).
    std::vector<double> keys;
    size_t nextKey = 0;
    size_t keysForCount = SIZE_MAX;
};

} // namespace vellum
