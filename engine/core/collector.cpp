#include "engine/core/collector.h"

#include <algorithm>
#include <cstdlib>
#include <malloc.h>

namespace vellum {

namespace {

// A sweep frees texts and tables in bursts. With the C library's defaults a
// block past its adaptive threshold (128 KiB at first) is mapped afresh and
// every burst gives the top of the heap back to the system, so a script
// that grows a long text faults in each of its pages on every step, and how
// often depends on where the sweeps fall. Large blocks stay in the heap up
// to 32 MiB, and up to 64 MiB of freed heap is kept for the next ones.
void KeepFreedMemoryForReuse()
{
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        return true;
    }();
    (void)tuned;
}

} // namespace

Collector::Collector()
{
    KeepFreedMemoryForReuse();
#ifndef NDEBUG
    if (const char* every = std::getenv("VELLUM_GC_STRESS")) {
        stressPace = std::max(1, std::atoi(every));
        pace = stressPace;
    }
#endif
}

Collector::~Collector() { DestroyAll(); }

void Collector::Adopt(GcObject* object)
{
    try {
        if (sweeping) {
            madeWhileSweeping.push_back(object);
        } else {
            const auto at = static_cast<size_t>(objectCount);
            if (at == blocks.size() * kBlockObjects) blocks.push_back(std::make_unique<GcObject*[]>(kBlockObjects));
            Slot(at) = object;
        }
    } catch (...) {
        delete object;
        throw;
    }
    ++objectCount;
    ++newSinceCollect;
}

void Collector::Propagate()
{
    while (!grey.empty()) {
        GcObject* object = grey.back();
        grey.pop_back();
        object->Mark(*this);
    }
}

void Collector::Sweep()
{
    // How many objects ahead of the one looked at the memory is asked for.
    constexpr size_t kAhead = 8;
    const auto listed = static_cast<size_t>(objectCount);
    sweeping = true;
    size_t kept = 0;
    for (size_t i = 0; i < listed; ++i) {
        if (i + kAhead < listed) __builtin_prefetch(Slot(i + kAhead));
        GcObject* object = Slot(i);
        if (object->marked == 1) {
            object->marked = 0;
            Slot(kept++) = object;
        } else {
            delete object;
            --objectCount;
        }
    }
    sweeping = false;
    // Every block past the one the list ends in goes, but for one spare.
    const size_t needed = (kept + kBlockObjects - 1) / kBlockObjects;
    if (blocks.size() > needed + 1) blocks.resize(needed + 1);
    std::vector<GcObject*> late;
    late.swap(madeWhileSweeping);
    objectCount -= static_cast<int32_t>(late.size());
    newSinceCollect = 0;
    for (GcObject* object : late) Adopt(object);
    pace = stressPace > 0 ? stressPace : std::max(kThreshold, objectCount);
    newBytes = 0;
    bytePace = std::max(kByteThreshold, liveBytes / 2);
}

void Collector::ForgetMarks()
{
    grey.clear();
    for (size_t i = 0; i < static_cast<size_t>(objectCount); ++i) Slot(i)->marked = 0;
}

void Collector::DestroyAll()
{
    // Destructors of native objects may look at other objects, so each
    // object leaves the list before it goes, newest first, and the rest
    // stay listed and alive.
    while (objectCount > 0) {
        GcObject* object = Slot(static_cast<size_t>(objectCount) - 1);
        --objectCount;
        delete object;
    }
    blocks.clear();
}

} // namespace vellum
