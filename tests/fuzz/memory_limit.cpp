// Ceilings on what one fuzz input may allocate through operator new: the
// memory held at once, and the bytes allocated in all (which bounds the
// work of loops that build ever longer texts within the step limit). Past
// either an allocation throws std::bad_alloc, as on a device that ran out,
// so the input shows whether the code under test fails the call cleanly.
#include "tests/fuzz/fuzz_bench.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHeldLimit = size_t{256} << 20;
constexpr size_t kTotalLimit = size_t{1} << 30;
std::atomic<size_t> held{0};
std::atomic<size_t> total{0};
// Only the code under test is limited, not the fuzzer between inputs.
std::atomic<bool> limited{false};

bool WithinLimits(size_t size)
{
    if (!limited.load(std::memory_order_relaxed)) return true;
    if (size > kHeldLimit || held.load(std::memory_order_relaxed) + size > kHeldLimit) return false;
    return total.fetch_add(size, std::memory_order_relaxed) + size <= kTotalLimit;
}

void* Allocate(size_t size) noexcept
{
    if (!WithinLimits(size)) return nullptr;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p != nullptr) held.fetch_add(malloc_usable_size(p), std::memory_order_relaxed);
    return p;
}

void Release(void* p) noexcept
{
    if (p == nullptr) return;
    held.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
    std::free(p);
}

void* AllocateOrThrow(size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}

} // namespace

vellum::fuzz::InputLimits::InputLimits()
{
    total.store(0, std::memory_order_relaxed);
    limited.store(true, std::memory_order_relaxed);
}

vellum::fuzz::InputLimits::~InputLimits() { limited.store(false, std::memory_order_relaxed); }

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
