#include "engine/core/table_object.h"

#include "engine/core/collector.h"
#include "engine/core/string_object.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

namespace vellum {

namespace {

// Up to this many entries a table searches them directly and finds chain
// heads by scanning; beyond it, it keeps an index and the chain heads.
constexpr size_t kDirectSearch = 8;

} // namespace

TableObject* TableObject::New(size_t inlineEntries)
{
    inlineEntries = std::min(inlineEntries, kMostInlineEntries);
    const size_t bytes =
        sizeof(TableObject) + (inlineEntries == 0 ? 0 : CompactArray<Entry>::BlockBytes(inlineEntries));
    void* block = ::operator new(bytes);
    return ::new (block) TableObject(static_cast<char*>(block) + sizeof(TableObject), static_cast<uint32_t>(inlineEntries));
}

void TableObject::Mark(Collector& collector) { MarkContents(collector, true); }

void TableObject::MarkContents(Collector& collector, bool tablesToo)
{
    // Tables held here are traced at once, their own contents going onto the
    // grey stack: an array of a million small tables then does not put a
    // million tables on that stack, and the native stack stays two calls deep.
    auto mark = [&](const Value& v) {
        if (tablesToo && v.tag == Tag::Table) {
            if (v.table->marked == 0) {
                v.table->marked = 1;
                v.table->MarkContents(collector, false);
            }
            return;
        }
        collector.MarkValue(v);
    };
    for (const Value& v : array) mark(v);
    for (const Entry& e : entries) {
        mark(e.key);
        mark(e.value);
    }
}

void TableObject::AddStringKey(const Value& key, const Value& value)
{
    Insert(key, value);
    maxNumericKey = -2.0;
}

void TableObject::SetOther(const Value& key, const Value& value)
{
    const int64_t i = table_detail::ArrayIndexOf(key);
    if (i >= 0 && static_cast<uint64_t>(i) < array.size()) {
        array[static_cast<size_t>(i)] = value;
        return;
    }
    const int32_t e = FindEntry(key);
    if (e >= 0) {
        entries[e].value = value;
        return;
    }
    if (i >= 0 && static_cast<uint64_t>(i) == array.size()) {
        array.push_back(value);
    } else {
        Insert(key, value);
    }
    if (maxNumericKey == -2.0) return;
    if (key.tag != Tag::Num) {
        maxNumericKey = -2.0;
    } else if (key.num > maxNumericKey) {
        maxNumericKey = key.num;
    }
}

void TableObject::Append(const Value& value)
{
    const double key = maxNumericKey < 0.0 ? 0.0 : maxNumericKey + 1.0;
    Set(Value::Number(key), value);
}

void TableObject::Insert(const Value& key, const Value& value)
{
    const uint32_t hash = key.tag == Tag::Str ? key.str->Hash() : ValueHash(key);
    const auto chain = static_cast<uint8_t>(hash & (kChains - 1));
    const auto at = static_cast<int32_t>(entries.size());
    // Written where it stays: an entry put together elsewhere and copied
    // would be read back whole right after its narrow fields were written,
    // which the processor cannot forward from its store buffer.
    Entry& entry = entries.emplace_back();
    entry.key = key;
    entry.key.padding[0] = chain;
    const auto arrayLength = static_cast<uint32_t>(array.size());
    std::memcpy(entry.key.padding + 3, &arrayLength, sizeof arrayLength);
    entry.value = value;
    if (!lookup || entries.size() > IndexSize()) {
        if (entries.size() > kDirectSearch) Reindex();
        return;
    }
    OlderLinks()[at] = lookup[chain];
    lookup[chain] = at;
    int32_t& head = lookup[kChains + (table_detail::LookupHash(key) >> indexShift)];
    NextLinks()[at] = head;
    head = at;
}

void TableObject::Reindex()
{
    // Between one and two slots of the index per entry: its chains stay
    // shorter than one entry on average.
    const size_t size = std::bit_ceil(entries.size());
    indexShift = 32 - static_cast<uint32_t>(std::countr_zero(size));
    lookup.reset(new int32_t[kChains + 3 * size]);
    for (size_t i = 0; i < kChains + size; ++i) lookup[i] = -1;
    int32_t* next = NextLinks();
    int32_t* older = OlderLinks();
    for (size_t j = 0; j < entries.size(); ++j) {
        int32_t& newest = lookup[entries[j].Chain()];
        older[j] = newest;
        newest = static_cast<int32_t>(j);
        int32_t& head = lookup[kChains + (table_detail::LookupHash(entries[j].key) >> indexShift)];
        next[j] = head;
        head = static_cast<int32_t>(j);
    }
}

int32_t TableObject::ChainHead(int chain) const
{
    if (lookup) return lookup[chain];
    for (auto j = static_cast<int32_t>(entries.size()) - 1; j >= 0; --j) {
        if (entries[j].Chain() == chain) return j;
    }
    return -1;
}

int32_t TableObject::OlderWithoutIndex(int32_t entry) const
{
    // A table without an index has few entries: the older one is found by looking back.
    const uint8_t chain = entries[entry].Chain();
    for (int32_t j = entry - 1; j >= 0; --j) {
        if (entries[j].Chain() == chain) return j;
    }
    return -1;
}

int TableObject::FirstChainFrom(int chain) const
{
    // Array key k sits in chain k & 255, so chain c holds one when c < length.
    if (static_cast<size_t>(chain) < array.size()) return chain;
    if (lookup) {
        for (int c = chain; c < kChains; ++c) {
            if (lookup[c] >= 0) return c;
        }
        return kChains;
    }
    int best = kChains;
    for (const Entry& e : entries) {
        if (e.Chain() >= chain && e.Chain() < best) best = e.Chain();
    }
    return best;
}

bool TableObject::NextInHashOrder(HashCursor& cursor, Value& key, Value& value) const
{
    for (;;) {
        if (cursor.chain >= 0 && (cursor.entry >= 0 || cursor.arrayKey >= 0)) {
            // Both candidates belong to this chain; the newer one comes first.
            // An entry is newer than array key k when the array already
            // held k at the time the entry was stored.
            const bool takeEntry =
                cursor.entry >= 0 &&
                (cursor.arrayKey < 0 || entries[cursor.entry].ArrayLengthAtStore() > cursor.arrayKey);
            if (takeEntry) {
                const Entry& e = entries[cursor.entry];
                key = e.key;
                value = e.value;
                cursor.entry = OlderInChain(cursor.entry);
            } else {
                key = Value::Number(static_cast<double>(cursor.arrayKey));
                value = array[static_cast<size_t>(cursor.arrayKey)];
                cursor.arrayKey -= kChains;
            }
            return true;
        }
        if (cursor.chain >= kChains - 1) {
            cursor.chain = kChains;
            return false;
        }
        cursor.chain = FirstChainFrom(cursor.chain + 1);
        if (cursor.chain >= kChains) return false;
        cursor.entry = ChainHead(cursor.chain);
        const auto length = static_cast<int64_t>(array.size());
        cursor.arrayKey = cursor.chain < length ? cursor.chain + (length - 1 - cursor.chain) / kChains * kChains : -1;
    }
}

} // namespace vellum
