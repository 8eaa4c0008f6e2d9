// Mark-and-sweep collector over one interpreter's objects.
//
// Every collectable object is listed at creation, in blocks of pointers. A
// collection marks from the roots with an explicit grey stack (so a long
// chain of tables cannot exhaust the native stack) and then sweeps the list.
// Sweeping walks the pointers in order and asks for each object's memory a
// few objects ahead, so the misses of a large heap overlap; a chain linked
// through the objects themselves would wait for each one in turn.
// Collections are paced by the live heap: one runs when the objects made
// since the last one reach the larger of 1000 and the number that survived
// it, so building a huge table costs linear time. Strings also count their
// bytes: one runs as well when the text made since the last one reaches the
// larger of 1 MiB and half the text that survived it, so a script that
// makes and drops a few long texts does not pile them up until the count is
// reached, and dropped text stays below half the live text (a string takes
// two bytes a character).
//
// Test builds (without NDEBUG) read VELLUM_GC_STRESS=N: a collection is
// then due as soon as N objects were made since the last one (1: after
// every instruction that made an object), so an object that native code
// forgot to root is freed at once and the sanitizers report its next use.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/value.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vellum {

class Collector {
public:
    static constexpr int32_t kThreshold = 1000;
    static constexpr size_t kByteThreshold = size_t{1} << 20;

    Collector();
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;
    ~Collector();

    // Lists a freshly made object; the collector owns it from now on. When
    // the list cannot grow, the object is destroyed and bad_alloc thrown.
    void Adopt(GcObject* object);

    bool Due() const { return (newSinceCollect >= pace || newBytes >= bytePace) && !busy; }

    // The memory a string takes, counted when it is made and when it goes.
    void CountBytes(size_t bytes)
    {
        liveBytes += bytes;
        newBytes += bytes;
    }
    void UncountBytes(size_t bytes) { liveBytes -= bytes; }

    // Marking, for the roots and for GcObject::Mark.
    void MarkValue(const Value& v)
    {
        // A string refers to nothing, so it is marked without a trip
        // through the grey stack, which a table of many keys would swell.
        if (v.tag == Tag::Str) {
            v.object->marked = 1;
        } else if (v.IsCollectable()) {
            MarkObject(v.object);
        }
    }
    void MarkObject(GcObject* object)
    {
        if (object != nullptr && object->marked == 0) {
            object->marked = 1;
            grey.push_back(object);
        }
    }

    // Traces everything reachable from what has been marked so far.
    void Propagate();
    // Frees every unmarked object and clears the marks of the rest.
    void Sweep();
    // Clears every mark and the grey stack, for a marking that could not finish.
    void ForgetMarks();
    // Destroys every object in list order, without marking.
    void DestroyAll();

    int32_t objectCount = 0;
    int32_t newSinceCollect = 0;
    bool busy = false;

private:
    int32_t pace = kThreshold;
    size_t liveBytes = 0;
    size_t newBytes = 0;
    size_t bytePace = kByteThreshold;
    // The stress pace from VELLUM_GC_STRESS, 0 when collections follow the heap.
    int32_t stressPace = 0;
    // Blocks of kBlockObjects pointers, filled in order of creation: the
    // objectCount first slots hold every object. A block of its own size
    // each, so that a growing heap never copies the list and never holds it
    // twice.
    static constexpr size_t kBlockObjects = 4096;
    GcObject*& Slot(size_t i) { return blocks[i / kBlockObjects][i % kBlockObjects]; }
    std::vector<std::unique_ptr<GcObject*[]>> blocks;
    // Made by a destructor while sweeping: listed once the sweep is done.
    std::vector<GcObject*> madeWhileSweeping;
    bool sweeping = false;
    std::vector<GcObject*> grey;
};

} // namespace vellum
