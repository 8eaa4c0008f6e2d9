#include "engine/core/string_object.h"

#include "engine/core/collector.h"

#include <algorithm>
#include <bit>
#include <compare>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace vellum {

namespace {
constexpr size_t kInitialSlots = 1024;

// The home slot of a hash's tag. The hash reads at most 32 units of a long
// text and mixes weakly, so it is spread over the slots by a multiplication
// whose top bits are taken (Fibonacci hashing): similar texts do not pile up
// in one run of neighbouring slots, which linear probing would have to walk.
size_t HomeIn(uint32_t tag, size_t size)
{
    return static_cast<size_t>((uint64_t{tag} * 0x9E3779B97F4A7C15u) >> (64 - std::countr_zero(size)));
}

// A slot's tag: the hash with its top bit set, so that 0 can mark an empty
// slot and a probe that finds no match reads nothing but tags.
uint32_t TagOf(uint32_t hash) { return hash | 0x80000000u; }

// Reads at most 32 units spread over the text, so hashing a long text costs
// no more than a short one.
template <class Unit>
uint32_t HashUnits(std::basic_string_view<Unit> s)
{
    const uint32_t length = static_cast<uint32_t>(s.size());
    uint32_t h = length;
    const uint32_t step = (length >> 5) + 1;
    for (uint32_t l = length; l >= step; l -= step) h ^= (h << 5) + (h >> 2) + static_cast<char16_t>(s[l - 1]);
    return h;
}
} // namespace

size_t LongestStringSetting()
{
    const char* text = std::getenv("VELLUM_TEST_LONGEST_STRING");
    if (text == nullptr) return kLongestString;
    char* end = nullptr;
    const unsigned long long lower = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0') return kLongestString;
    return static_cast<size_t>(std::min<unsigned long long>(lower, kLongestString));
}

uint32_t StringObject::HashOf(std::u16string_view s) { return HashUnits(s); }
uint32_t StringObject::HashOf(Latin1View s) { return HashUnits(s); }

bool StringObject::FitsNarrow(std::u16string_view text)
{
    char16_t any = 0;
    for (const char16_t c : text) any |= c;
    return any <= 0xFF;
}

template <class Unit>
StringObject::StringObject(StringTable* owner_, uint32_t hash_, std::basic_string_view<Unit> s, bool narrow_)
    : narrow(narrow_ ? 1 : 0), hash(hash_), owner(owner_), length(static_cast<uint32_t>(s.size()))
{
    // text[] extends past the header: the allocation in Insert made room.
    if (narrow_) {
        auto* out = reinterpret_cast<char8_t*>(text);
        for (const Unit c : s) *out++ = static_cast<char8_t>(c);
        *out = 0;
    } else {
        char16_t* out = text;
        for (const Unit c : s) *out++ = c;
        *out = 0;
    }
}

template <class Unit>
bool StringObject::Holds(std::basic_string_view<Unit> s, bool narrowText) const
{
    if (IsNarrow() != narrowText || length != s.size()) return false;
    if constexpr (std::is_same_v<Unit, char8_t>) return std::equal(s.begin(), s.end(), NarrowUnits());
    else if (IsNarrow()) return std::equal(s.begin(), s.end(), NarrowUnits());
    else return std::equal(s.begin(), s.end(), text);
}

bool StringObject::Equals(std::u16string_view other) const
{
    return Visit([&](auto units) { return std::equal(units.begin(), units.end(), other.begin(), other.end()); });
}

int StringObject::Compare(const StringObject& other) const
{
    return Visit([&](auto a) {
        return other.Visit([&](auto b) {
            if constexpr (std::is_same_v<decltype(a), decltype(b)>) {
                const int c = a.compare(b);
                return c < 0 ? -1 : (c > 0 ? 1 : 0);
            } else {
                const auto order = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
                return order < 0 ? -1 : (order > 0 ? 1 : 0);
            }
        });
    });
}

std::u16string StringObject::Utf16() const
{
    return Visit([](auto units) { return std::u16string(units.begin(), units.end()); });
}

WideText::WideText(const StringObject* s) : string(s)
{
    if (s->IsNarrow()) copy = s->Utf16();
}

StringObject::~StringObject()
{
    if (owner != nullptr) owner->Unlink(this);
}

StringTable::StringTable(Collector& collector_)
    : collector(collector_), strings(new StringObject*[kInitialSlots]()), tags(new uint32_t[kInitialSlots]()),
      mask(kInitialSlots - 1)
{
}

StringTable::~StringTable()
{
    // Strings still alive at this point outlive the table only during
    // tear-down; detach them so their destructors do not touch freed slots.
    for (size_t i = 0; i <= mask; ++i) {
        if (tags[i] != 0) strings[i]->owner = nullptr;
    }
}

size_t StringTable::Home(uint32_t tag) const { return HomeIn(tag, mask + 1); }

template <class Unit>
size_t StringTable::Probe(uint32_t tag, std::basic_string_view<Unit> text, bool narrow) const
{
    size_t i = Home(tag);
    while (tags[i] != 0 && (tags[i] != tag || !strings[i]->Holds(text, narrow))) i = (i + 1) & mask;
    return i;
}

StringObject* StringTable::Intern(std::u16string_view text) { return Insert(text, StringObject::FitsNarrow(text)); }

StringObject* StringTable::Intern(Latin1View text) { return Insert(text, true); }

template <class Unit>
StringObject* StringTable::Insert(std::basic_string_view<Unit> text, bool narrow)
{
    const uint32_t hash = HashUnits(text);
    const uint32_t tag = TagOf(hash);
    size_t slot = Probe(tag, text, narrow);
    if (tags[slot] != 0) return strings[slot];
    if ((count + 1) * 8 > (mask + 1) * 7) {
        Grow();
        slot = Probe(tag, text, narrow);
    }
    const size_t bytes = StringObject::BytesFor(text.size(), narrow);
    void* memory = ::operator new(bytes);
    auto* s = new (memory) StringObject(this, hash, text, narrow);
    strings[slot] = s;
    tags[slot] = tag;
    ++count;
    collector.Adopt(s);
    collector.CountBytes(bytes);
    return s;
}

void StringTable::Unlink(StringObject* s)
{
    collector.UncountBytes(StringObject::BytesFor(s->length, s->IsNarrow()));
    const uint32_t tag = TagOf(s->hash);
    size_t hole = Home(tag);
    while (tags[hole] != tag || strings[hole] != s) {
        if (tags[hole] == 0) return;
        hole = (hole + 1) & mask;
    }
    tags[hole] = 0;
    --count;
    // Strings after the hole that probed past it move back into it, so that
    // every string stays reachable from its home slot without a gap.
    for (size_t next = (hole + 1) & mask; tags[next] != 0; next = (next + 1) & mask) {
        const size_t home = Home(tags[next]);
        // A string whose home lies cyclically in (hole, next] stays put.
        const bool staysPut = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (staysPut) continue;
        strings[hole] = strings[next];
        tags[hole] = tags[next];
        tags[next] = 0;
        hole = next;
    }
}

void StringTable::Grow()
{
    // Both arrays are made before anything moves: a failed allocation
    // leaves the table as it was.
    const size_t size = (mask + 1) * 2;
    std::unique_ptr<StringObject*[]> newStrings(new StringObject*[size]());
    std::unique_ptr<uint32_t[]> newTags(new uint32_t[size]());
    for (size_t i = 0; i <= mask; ++i) {
        if (tags[i] == 0) continue;
        size_t slot = HomeIn(tags[i], size);
        while (newTags[slot] != 0) slot = (slot + 1) & (size - 1);
        newStrings[slot] = strings[i];
        newTags[slot] = tags[i];
    }
    strings = std::move(newStrings);
    tags = std::move(newTags);
    mask = size - 1;
}

} // namespace vellum
