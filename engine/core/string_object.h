// Interned, immutable strings of UTF-16 units.
//
// Every string value of an interpreter is interned in its StringTable, so
// equal texts share one object and table lookups compare pointers. A string
// is one allocation: the header followed by its units and a terminating 0.
// It carries its length, so natives may build strings with zero units.
//
// A text whose units all fit in one byte (Latin-1) is stored narrow, one
// byte per unit; any other text is stored wide. The form follows from the
// text alone, so equal texts always share a form and a lookup compares like
// with like. Lengths, positions, order and hash are those of the UTF-16
// units whichever form holds them.
#pragma once

#include "engine/core/gc_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vellum {

class StringTable;

// Latin-1 text, one byte per unit. char8_t for its unsigned units and
// standard character traits; the bytes are not UTF-8.
using Latin1View = std::u8string_view;

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

    uint32_t Length() const { return length; }
    uint32_t Hash() const { return hash; }
    bool IsNarrow() const { return narrow != 0; }
    char16_t At(uint32_t i) const { return IsNarrow() ? NarrowUnits()[i] : text[i]; }
    // Calls f with the units as a Latin1View or a std::u16string_view,
    // whichever form holds them, so a native that only reads units needs
    // no wide copy.
    template <class F>
    decltype(auto) Visit(F&& f) const
    {
        return IsNarrow() ? f(Latin1View(NarrowUnits(), length)) : f(std::u16string_view(text, length));
    }
    bool Equals(std::u16string_view other) const;
    // -1, 0 or 1 as the texts order by their UTF-16 units.
    int Compare(const StringObject& other) const;
    // A UTF-16 copy of the text.
    std::u16string Utf16() const;
    // The memory a string of this many units takes in its form; the
    // header's text[1] holds the terminating 0.
    static size_t BytesFor(size_t length, bool narrow)
    {
        return sizeof(StringObject) + length * (narrow ? sizeof(char8_t) : sizeof(char16_t));
    }
    static bool FitsNarrow(std::u16string_view text);

    // The hash scripts can observe through table iteration order: the same
    // for a text in either form.
    static uint32_t HashOf(std::u16string_view text);
    static uint32_t HashOf(Latin1View text);

private:
    friend class StringTable;
    friend class WideText;
    template <class Unit>
    StringObject(StringTable* owner, uint32_t hash, std::basic_string_view<Unit> s, bool narrow);
    const char8_t* NarrowUnits() const { return reinterpret_cast<const char8_t*>(text); }
    template <class Unit>
    bool Holds(std::basic_string_view<Unit> s, bool narrowText) const;

    // Ordered so that the text follows the header without padding; the
    // form's flag sits in the padding after the mark.
    uint8_t narrow;
    uint32_t hash;
    StringTable* owner;
    uint32_t length;
    char16_t text[1];
};

// A string's text as UTF-16 for a native that needs it whole: a view of a
// wide string's units, or a widened copy of a narrow one. Its View() lives
// as long as the WideText, so it is taken from a named one.
class WideText {
public:
    explicit WideText(const StringObject* s);
    std::u16string_view View() const&
    {
        return string->IsNarrow() ? std::u16string_view(copy) : std::u16string_view(string->text, string->length);
    }
    std::u16string_view View() const&& = delete;

private:
    const StringObject* string;
    std::u16string copy;
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

    // Stores the text narrow when every unit fits in a byte.
    StringObject* Intern(std::u16string_view text);
    StringObject* Intern(Latin1View text);
    size_t Count() const { return count; }

private:
    friend class StringObject;
    template <class Unit>
    StringObject* Insert(std::basic_string_view<Unit> text, bool narrow);
    size_t Home(uint32_t tag) const;
    // The slot of the string with this text, or the empty slot where it would go.
    template <class Unit>
    size_t Probe(uint32_t tag, std::basic_string_view<Unit> text, bool narrow) const;
    void Unlink(StringObject* s);
    void Grow();

    Collector& collector;
    std::unique_ptr<StringObject*[]> strings;
    std::unique_ptr<uint32_t[]> tags; // 0: an empty slot
    size_t mask;
    size_t count = 0;
};

} // namespace vellum
