// Interned, immutable UTF-16 strings.
//
// Every string value of an interpreter is interned in its StringTable, so
// equal texts share one object and table lookups compare pointers. A string
// is one allocation: the header followed by its units and a terminating 0.
// It carries its length, so natives may build strings with zero units.
#pragma once

#include "engine/core/gc_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vellum {

class StringTable;

// The longest string the engine makes: 2^30 UTF-16 units (2 GiB), so that
// a string may be as long as memory allows short of that. Making a longer
// text fails with errOutOfMemory as soon as it passes the limit, before it
// is built; every position in a string still fits an int32_t.
constexpr size_t kLongestString = size_t{1} << 30;

// The limit in force: kLongestString, unless the environment's
// VELLUM_TEST_LONGEST_STRING names a lower one (for tests that reach the
// limit without using gigabytes).
size_t LongestStringSetting();

class StringObject final : public GcObject {
public:
    ~StringObject() override;
    // Strings are allocated with room for their text after the header.
    static void operator delete(void* p) { ::operator delete(p); }

    std::u16string_view View() const { return {text, length}; }
    const char16_t* Data() const { return text; }
    uint32_t Length() const { return length; }
    uint32_t Hash() const { return hash; }
    // The memory a string of this many units takes; the header's text[1]
    // holds the terminating 0.
    static size_t BytesFor(size_t length) { return sizeof(StringObject) + length * sizeof(char16_t); }

    // The hash scripts can observe through table iteration order.
    static uint32_t HashOf(std::u16string_view text);

private:
    friend class StringTable;
    StringObject(StringTable* owner, uint32_t hash, std::u16string_view s);

    // Ordered so that the text follows the header without padding.
    uint32_t hash;
    StringTable* owner;
    uint32_t length;
    char16_t text[1];
};

class Collector;

// The intern set: open addressing with linear probing. Each slot keeps a tag
// made from its string's hash, in an array of its own, so a probe reads
// neighbouring tags and touches a string only when its tag matches: making
// a new string never walks through other strings' memory.
// It doubles when seven eighths of the slots are taken, which keeps it
// no larger than the chained set it replaced: a probe past a full stretch
// reads a few more tags, which lie side by side. A destroyed string takes
// itself out and the strings after it move back, so no slot is ever left
// marked as deleted.
class StringTable {
public:
    explicit StringTable(Collector& collector);
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;
    ~StringTable();

    StringObject* Intern(std::u16string_view text);
    size_t Count() const { return count; }

private:
    friend class StringObject;
    size_t Home(uint32_t tag) const;
    // The slot of the string with this text, or the empty slot where it would go.
    size_t Probe(uint32_t tag, std::u16string_view text) const;
    void Unlink(StringObject* s);
    void Grow();

    Collector& collector;
    std::unique_ptr<StringObject*[]> strings;
    std::unique_ptr<uint32_t[]> tags; // 0: an empty slot
    size_t mask;
    size_t count = 0;
};

} // namespace vellum
