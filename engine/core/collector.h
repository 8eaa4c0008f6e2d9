// Mark-and-sweep collector over one interpreter's objects.
//
// Every collectable object is linked into one list at creation. A
// collection marks from the roots with an explicit grey stack (so a long
// chain of tables cannot exhaust the native stack) and then sweeps the list.
// Collections are paced by the live heap: one runs when the objects made
// since the last one reach the larger of 1000 and the number that survived
// it, so building a huge table costs linear time.
//
// Test builds (without NDEBUG) read VELLUM_GC_STRESS=N: a collection is
// then due as soon as N objects were made since the last one (1: after
// every instruction that made an object), so an object that native code
// forgot to root is freed at once and the sanitizers report its next use.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/value.h"

#include <cstdint>
#include <vector>

namespace vellum {

class Collector {
public:
    static constexpr int32_t kThreshold = 1000;

    Collector();
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;
    ~Collector();

    // Links a freshly made object into the list; the collector owns it from now on.
    void Adopt(GcObject* object);

    bool Due() const { return newSinceCollect >= pace && !busy; }

    // Marking, for the roots and for GcObject::Mark.
    void MarkValue(const Value& v)
    {
        if (v.IsCollectable()) MarkObject(v.object);
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
    // Destroys every object in list order, without marking.
    void DestroyAll();

    int32_t objectCount = 0;
    int32_t newSinceCollect = 0;
    bool busy = false;

private:
    int32_t pace = kThreshold;
    // The stress pace from VELLUM_GC_STRESS, 0 when collections follow the heap.
    int32_t stressPace = 0;
    GcObject* head = nullptr;
    std::vector<GcObject*> grey;
};

} // namespace vellum
