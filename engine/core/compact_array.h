// A growable array of trivially copyable items in one pointer: its count
// and capacity sit in front of the items, in the same block. Tables keep
// two of them, and a script may hold a million small tables, so every byte
// of the table header counts. An empty array points at a shared empty
// header, so reading the count never needs a null check. An array may also
// start in a block its owner provides (a small table keeps its first
// entries in its own allocation); it moves to one of its own when it grows
// past that.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace vellum {

template <class T>
class CompactArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

    struct Header {
        uint32_t count;
        uint32_t capacity : 31;
        // Whether the block came from malloc, so that it is freed with the array.
        uint32_t owned : 1;
    };
    static_assert(alignof(T) <= sizeof(Header));

public:
    // The bytes a provided block takes to hold this many items.
    static constexpr size_t BlockBytes(size_t items) { return sizeof(Header) + items * sizeof(T); }

    CompactArray() = default;
    // Starts in the caller's block of BlockBytes(capacity) bytes, suitably
    // aligned, which must outlive the array.
    CompactArray(void* block, uint32_t capacity)
    {
        if (capacity != 0) header = new (block) Header{0, capacity, 0};
    }
    CompactArray(const CompactArray&) = delete;
    CompactArray& operator=(const CompactArray&) = delete;
    ~CompactArray()
    {
        if (header->owned) std::free(header);
    }

    size_t size() const { return header->count; }
    bool empty() const { return header->count == 0; }
    T* data() { return reinterpret_cast<T*>(header + 1); }
    const T* data() const { return reinterpret_cast<const T*>(header + 1); }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    T& back() { return data()[header->count - 1]; }
    T* begin() { return data(); }
    T* end() { return data() + header->count; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + header->count; }

    // Makes room for n items in all, in one allocation.
    void reserve(size_t n)
    {
        if (n > header->capacity) Reallocate(n);
    }
    void push_back(const T& item) { emplace_back() = item; }
    // Adds an item for the caller to fill in place.
    T& emplace_back()
    {
        const uint32_t count = header->count;
        if (count == header->capacity) Reallocate(Grown(count));
        header->count = count + 1;
        return *new (data() + count) T;
    }

private:
    // Small arrays double; larger ones grow by half, so that a big table
    // holds at most half again the room it uses (a doubled one up to twice
    // as much); the allocator grows a large block in place.
    static size_t Grown(size_t count) { return count < 16 ? (count == 0 ? 1 : count * 2) : count + count / 2; }

    // Throws std::bad_alloc when the memory is not there, as a vector
    // would, so that the script ends with "out of memory".
    void Reallocate(size_t n)
    {
        if (n > INT32_MAX || n > (SIZE_MAX - sizeof(Header)) / sizeof(T)) throw std::bad_alloc();
        const size_t bytes = BlockBytes(n);
        const bool owned = header->owned;
        void* grown = owned ? std::realloc(header, bytes) : std::malloc(bytes);
        if (grown == nullptr) throw std::bad_alloc();
        if (!owned) std::memcpy(grown, header, BlockBytes(header->count));
        header = static_cast<Header*>(grown);
        header->capacity = static_cast<uint32_t>(n);
        header->owned = 1;
    }

    // Never written: every write first reallocates, since its capacity is 0.
    static inline Header emptyHeader{0, 0, 0};
    Header* header = &emptyHeader;
};

} // namespace vellum
