// The iteration `for ... in` sees. A table whose keys so far are all
// numbers, one of them above -1, iterates its integer keys 0, 1, 2, ... in
// ascending order (reading maxNumericKey afresh at every step, so keys
// appended during the loop are visited); any other table iterates in hash
// order, chain by chain.
#pragma once

#include "engine/core/table_object.h"
#include "engine/core/value.h"

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
        if (!ordered) return table.NextInHashOrder(cursor, key, value);
        for (;;) {
            counter += 1.0;
            if (counter > table.MaxNumericKey()) return false;
            key = Value::Number(counter);
            if (table.Find(key, value)) return true;
        }
    }

private:
    const TableObject& table;
    const bool ordered;
    double counter = -1.0;
    TableObject::HashCursor cursor;
};

} // namespace vellum
