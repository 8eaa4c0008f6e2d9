// The base of every object the collector owns: strings, tables, script
// functions and the native objects scripts hold through ptr values.
#pragma once

#include <cstdint>

namespace vellum {

class Collector;

class GcObject {
public:
    GcObject() = default;
    GcObject(const GcObject&) = delete;
    GcObject& operator=(const GcObject&) = delete;
    virtual ~GcObject() = default;

    // Marks every collectable object this one refers to, through the
    // collector's MarkValue/MarkObject. Leaves have nothing to mark.
    virtual void Mark(Collector&) {}

    // Derived classes can use the padding after the mark for their own
    // first small members.
    uint8_t marked = 0;
};

} // namespace vellum
