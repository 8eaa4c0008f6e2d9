#include "engine/core/string_object.h"

#include "engine/core/collector.h"

#include <new>

namespace vellum {

namespace {
constexpr size_t kInitialBuckets = 1024;
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
    : collector(collector_), buckets(new StringObject*[kInitialBuckets]()), mask(kInitialBuckets - 1)
{
}

StringTable::~StringTable()
{
    // Strings still alive at this point outlive the table only during
    // tear-down; detach them so their destructors do not touch freed buckets.
    for (size_t i = 0; i <= mask; ++i) {
        for (StringObject* s = buckets[i]; s != nullptr; s = s->nextInChain) s->owner = nullptr;
    }
}

StringObject* StringTable::Intern(std::u16string_view text)
{
    const uint32_t hash = StringObject::HashOf(text);
    for (StringObject* s = buckets[hash & mask]; s != nullptr; s = s->nextInChain) {
        if (s->hash == hash && s->View() == text) return s;
    }
    if (count + 1 > mask + 1) Grow();
    void* memory = ::operator new(sizeof(StringObject) + text.size() * sizeof(char16_t));
    auto* s = new (memory) StringObject(this, hash, text);
    Link(s);
    collector.Adopt(s);
    return s;
}

void StringTable::Link(StringObject* s)
{
    StringObject*& head = buckets[s->hash & mask];
    s->nextInChain = head;
    head = s;
    ++count;
}

void StringTable::Unlink(StringObject* s)
{
    for (StringObject** link = &buckets[s->hash & mask]; *link != nullptr; link = &(*link)->nextInChain) {
        if (*link == s) {
            *link = s->nextInChain;
            --count;
            return;
        }
    }
}

void StringTable::Grow()
{
    const size_t oldSize = mask + 1;
    std::unique_ptr<StringObject*[]> old = std::move(buckets);
    buckets.reset(new StringObject*[oldSize * 2]());
    mask = oldSize * 2 - 1;
    count = 0;
    for (size_t i = 0; i < oldSize; ++i) {
        StringObject* s = old[i];
        while (s != nullptr) {
            StringObject* next = s->nextInChain;
            Link(s);
            s = next;
        }
    }
}

} // namespace vellum
