// A growable array of trivially copyable items in 16 bytes: the storage
// and two 32-bit counts. Tables keep two of them, and a script may hold a
// million small tables, so every byte of the table header counts.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace vellum {

template <class T>
class CompactArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    CompactArray() = default;
    CompactArray(const CompactArray&) = delete;
    CompactArray& operator=(const CompactArray&) = delete;

    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    T* data() { return items.get(); }
    const T* data() const { return items.get(); }
    T& operator[](size_t i) { return items.get()[i]; }
    const T& operator[](size_t i) const { return items.get()[i]; }
    T& back() { return items.get()[count - 1]; }
    T* begin() { return data(); }
    T* end() { return data() + count; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + count; }

    // Makes room for n items in all, in one allocation.
    void reserve(size_t n)
    {
        if (n > capacity) Reallocate(n);
    }
    void push_back(const T& item)
    {
        if (count == capacity) Reallocate(capacity == 0 ? 1 : size_t{capacity} * 2);
        new (items.get() + count) T(item);
        ++count;
    }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };

    // Throws std::bad_alloc when the memory is not there, as a vector
    // would, so that the script ends with "out of memory".
    void Reallocate(size_t n)
    {
        if (n > UINT32_MAX || n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void* grown = std::realloc(items.get(), n * sizeof(T));
        if (grown == nullptr) throw std::bad_alloc();
        (void)items.release();
        items.reset(static_cast<T*>(grown));
        capacity = static_cast<uint32_t>(n);
    }

    std::unique_ptr<T, Free> items;
    uint32_t count = 0;
    uint32_t capacity = 0;
};

} // namespace vellum
