// Tables: the language's arrays, records, objects and classes at once.
//
// Scripts see a table as 256 chains (a key's chain is ValueHash & 255,
// newest entry first) plus maxNumericKey, which chooses between the two
// iteration orders. Lookup does not walk those chains. Keys 0, 1, 2, ...
// stored in ascending order live in a plain array of values; every other
// key lives in an entry list found through a power-of-two index, which
// small tables go without (they search their few entries directly). Each
// entry remembers how long the array was when it was stored, which is all
// the hash order needs to interleave array keys with entries.
//
// A table made by a constructor with a few fields keeps their entries in its
// own block, so a small record is one allocation; it moves them out when it
// grows past them.
#pragma once

#include "engine/core/compact_array.h"
#include "engine/core/gc_object.h"
#include "engine/core/string_object.h"
#include "engine/core/value.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace vellum {

namespace table_detail {
// Spreads keys over the lookup index. It must agree with KeysEqual:
// 0 and -0 are equal numbers, so integral numbers hash by value.
inline uint32_t LookupHash(const Value& key)
{
    uint64_t bits = 0;
    switch (key.tag) {
    case Tag::Str:
        return key.str->Hash() * 0x9E3779B1u;
    case Tag::Num: {
        const double d = key.num;
        if (d >= -2147483648.0 && d <= 2147483647.0 && d == std::trunc(d)) {
            return static_cast<uint32_t>(static_cast<int32_t>(d)) * 0x9E3779B1u;
        }
        std::memcpy(&bits, &d, sizeof bits);
        break;
    }
    case Tag::Null:
        return 0;
    case Tag::Bool:
        bits = key.word;
        break;
    default:
        bits = key.bits;
        break;
    }
    bits ^= bits >> 29;
    bits *= 0xBF58476D1CE4E5B9ull;
    bits ^= bits >> 32;
    return static_cast<uint32_t>(bits) * 0x9E3779B1u;
}

// The array index a number key would have, or -1 when it is not a
// non-negative integer.
inline int64_t ArrayIndexOf(const Value& key)
{
    if (key.tag != Tag::Num) return -1;
    const double d = key.num;
    if (!(d >= 0.0) || d >= 4294967295.0) return -1;
    const auto i = static_cast<int64_t>(d);
    return static_cast<double>(i) == d ? i : -1;
}

} // namespace table_detail

class TableObject final : public GcObject {
public:
    static constexpr int kChains = 256;
    // The most fields a constructor's table keeps in its own block.
    static constexpr size_t kMostInlineEntries = 8;

    TableObject() = default;
    // A table with room for this many entries (up to kMostInlineEntries) in
    // its own block. The caller owns it, as with new.
    static TableObject* New(size_t inlineEntries = 0);
    // New sizes the block itself, so freeing it must not pass a size.
    static void operator delete(void* block) { ::operator delete(block); }

    void Mark(Collector& collector) override;

    // The stored value, or null when the key is absent.
    Value Get(const Value& key) const
    {
        Value v;
        Find(key, v);
        return v;
    }
    // Where the value under an array key is kept; null when the key is none.
    const Value* InArray(const Value& key) const
    {
        const int64_t i = table_detail::ArrayIndexOf(key);
        if (i < 0 || static_cast<uint64_t>(i) >= array.size()) return nullptr;
        return &array[static_cast<size_t>(i)];
    }
    // Whether an entry exists for the key (one stored as null counts).
    bool Find(const Value& key, Value& value) const
    {
        const Value* stored = Stored(key);
        if (stored == nullptr) return false;
        value = *stored;
        return true;
    }
    // Where the value under the key is kept, or null when the key is absent;
    // valid until the table next changes.
    const Value* Stored(const Value& key) const
    {
        if (const Value* v = InArray(key)) return v;
        const int32_t e = FindEntry(key);
        return e < 0 ? nullptr : &entries[e].value;
    }
    void Set(const Value& key, const Value& value)
    {
        // Field stores and stores into the array take the short way.
        if (key.tag == Tag::Str) {
            const int32_t e = FindEntry(key);
            if (e >= 0) {
                entries[e].value = value;
            } else {
                AddStringKey(key, value);
            }
            return;
        }
        const int64_t i = table_detail::ArrayIndexOf(key);
        if (i >= 0 && static_cast<uint64_t>(i) < array.size()) {
            array[static_cast<size_t>(i)] = value;
            return;
        }
        SetOther(key, value);
    }
    // Stores under maxNumericKey + 1, or under 0 while it is negative.
    void Append(const Value& value);

    size_t Count() const { return array.size() + entries.size(); }
    double MaxNumericKey() const { return maxNumericKey; }

    // Entry slots, for the interpreter's inline caches: a key stored
    // outside the array keeps its entry index for the table's lifetime, so
    // a cached index is checked by comparing the key found there.
    int32_t EntryIndexOf(const Value& key) const { return FindEntry(key); }
    bool EntryHasKey(int32_t index, const Value& key) const
    {
        return static_cast<size_t>(index) < entries.size() && entries[index].key.tag == key.tag &&
               entries[index].key.bits == key.bits;
    }
    Value& EntryValue(int32_t index) { return entries[index].value; }

    // A position in the hash order: chain by chain, newest first.
    struct HashCursor {
        int chain = -1;
        int32_t entry = -1;
        int64_t arrayKey = -1;
    };
    // Advances the cursor; false once every chain is done.
    bool NextInHashOrder(HashCursor& cursor, Value& key, Value& value) const;

private:
    // 32 bytes: the key's padding, which no comparison reads, holds the
    // entry's chain and how long the array was when the entry was stored.
    struct Entry {
        Value key;
        Value value;

        uint8_t Chain() const { return key.padding[0]; }
        uint32_t ArrayLengthAtStore() const
        {
            uint32_t length;
            std::memcpy(&length, key.padding + 3, sizeof length);
            return length;
        }
    };

    int32_t FindEntry(const Value& key) const
    {
        const Entry* e = entries.data();
        if (!lookup) {
            const size_t n = entries.size();
            if (key.tag == Tag::Str) {
                // Strings are interned: the same text is the same object.
                for (size_t i = 0; i < n; ++i) {
                    if (e[i].key.bits == key.bits && e[i].key.tag == Tag::Str) return static_cast<int32_t>(i);
                }
                return -1;
            }
            for (size_t i = 0; i < n; ++i) {
                if (KeysEqual(e[i].key, key)) return static_cast<int32_t>(i);
            }
            return -1;
        }
        const int32_t* next = NextLinks();
        for (int32_t i = lookup[kChains + (table_detail::LookupHash(key) >> indexShift)]; i >= 0; i = next[i]) {
            if (KeysEqual(e[i].key, key)) return i;
        }
        return -1;
    }
    TableObject(void* inlineBlock, uint32_t inlineEntries) : entries(inlineBlock, inlineEntries) {}
    size_t IndexSize() const { return size_t{1} << (32 - indexShift); }
    // The index's links of each entry (the index has a slot for each): the
    // next entry in the same slot, and the entry stored before it in its chain.
    int32_t* NextLinks() const { return lookup.get() + kChains + IndexSize(); }
    int32_t* OlderLinks() const { return lookup.get() + kChains + 2 * IndexSize(); }
    int32_t OlderInChain(int32_t entry) const { return lookup ? OlderLinks()[entry] : OlderWithoutIndex(entry); }
    int32_t OlderWithoutIndex(int32_t entry) const;
    void MarkContents(Collector& collector, bool tablesToo);
    int32_t ChainHead(int chain) const;
    int FirstChainFrom(int chain) const;
    void Insert(const Value& key, const Value& value);
    void AddStringKey(const Value& key, const Value& value);
    void SetOther(const Value& key, const Value& value);
    void Reindex();

    // First, so that it fills the padding after the collector's mark.
    uint32_t indexShift = 0;
    CompactArray<Value> array;
    CompactArray<Entry> entries;
    // Once a table has more entries than it searches directly: the newest
    // entry of each chain (kChains heads), the lookup index's slots, then
    // the two links of each entry (NextLinks, OlderLinks).
    std::unique_ptr<int32_t[]> lookup;
    double maxNumericKey = -1.0;
};
// With its entries behind it, a record of one field takes a 96-byte block
// from the allocator and one of two fields a 128-byte block.
static_assert(sizeof(TableObject) == 48);

} // namespace vellum
