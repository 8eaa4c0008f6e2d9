#include "engine/core/collector.h"

#include <algorithm>
#include <cstdlib>

namespace vellum {

Collector::Collector()
{
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
    object->next = head;
    head = object;
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
    GcObject** link = &head;
    while (GcObject* object = *link) {
        if (object->marked == 1) {
            object->marked = 0;
            link = &object->next;
        } else {
            *link = object->next;
            delete object;
            --objectCount;
        }
    }
    newSinceCollect = 0;
    pace = stressPace > 0 ? stressPace : std::max(kThreshold, objectCount);
    newBytes = 0;
    bytePace = std::max(kByteThreshold, liveBytes / 2);
}

void Collector::DestroyAll()
{
    // Destructors of native objects may look at other objects, so unlink
    // each object before it goes and keep the rest of the list intact.
    while (GcObject* object = head) {
        head = object->next;
        delete object;
        --objectCount;
    }
}

} // namespace vellum
