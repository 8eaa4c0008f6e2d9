#include "engine/core/string_object.h"

#include "engine/core/collector.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>

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
}

size_t LongestStringSetting()
{
    const char* text = std::getenv("VELLUM_TEST_LONGEST_STRING");
    if (text == nullptr) return kLongestString;
    char* end = nullptr;
    const unsigned long long lower = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0') return kLongestString;
    return static_cast<size_t>(std::min<unsigned long long>(lower, kLongestString));
}

uint32_t StringObject::HashOf(std::u16string_view s)
{
    const uint32_t length = static_cast<uint32_t>(s.size());
    uint32_t h = length;
    const uint32_t step = (length >> 5) + 1;
    for (uint32_t l = length; l >= step; l -= step) h ^= (h << 5) + (h >> 2) + s[l - 1];
    return h;
}

StringObject::StringObject(StringTable* owner_, uint32_t hash_, std::u16string_view s)
    : hash(hash_), owner(owner_), length(static_cast<uint32_t>(s.size()))
{
    // text[] extends past the header: the allocation in Intern made room.
    char16_t* out = text;
    for (char16_t c : s) *out++ = c;
    *out = 0;
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

size_t StringTable::Probe(uint32_t tag, std::u16string_view text) const
{
    size_t i = Home(tag);
    while (tags[i] != 0 && (tags[i] != tag || strings[i]->View() != text)) i = (i + 1) & mask;
    return i;
}

StringObject* StringTable::Intern(std::u16string_view text)
{
    const uint32_t hash = StringObject::HashOf(text);
    const uint32_t tag = TagOf(hash);
    size_t slot = Probe(tag, text);
    if (tags[slot] != 0) return strings[slot];
    if ((count + 1) * 8 > (mask + 1) * 7) {
        Grow();
        slot = Probe(tag, text);
    }
    const size_t bytes = StringObject::BytesFor(text.size());
    void* memory = ::operator new(bytes);
    auto* s = new (memory) StringObject(this, hash, text);
    strings[slot] = s;
    tags[slot] = tag;
    ++count;
    collector.Adopt(s);
    collector.CountBytes(bytes);
    return s;
}

void StringTable::Unlink(StringObject* s)
{
    collector.UncountBytes(StringObject::BytesFor(s->length));
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
