// One axis of a list or sheet as it lies at this moment: the items from
// the first visible one, laid end to end from the content's near edge.
// Every item is at least one pixel long, so that no walk over the items
// that can show visits more of them than the content has pixels, whatever
// lengths a script gives. A list whose items all share one length has it
// worked out once; other lengths are asked for item by item, afresh on
// every use, because the script may change them at any time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

// The pixels an item covers on the axis, both ends inclusive.
struct Span {
    int32_t near = 0;
    int32_t far = -1;
};

class ItemTrack {
public:
    using LengthOf = std::function<int32_t(int32_t index)>;

    // start: the content's first pixel on the axis; extent: its last pixel
    // less start. Items first .. count - 1 are laid out (a first below 0
    // counts as 0). uniform > 0 gives every item that length without asking
    // lengthOf.
    ItemTrack(Interpreter& ip, int32_t start, int32_t extent, int32_t first, int32_t count, int32_t uniform,
              LengthOf lengthOf);

    int32_t First() const { return first; }
    // The same items with another first visible one.
    ItemTrack From(int32_t newFirst) const
    {
        ItemTrack moved = *this;
        moved.first = newFirst;
        return moved;
    }
    int32_t Count() const { return count; }

    // The page: item lengths from the first are added while the sum is below
    // the content's length and the index below count (at least one item is
    // taken); one less when the last one sticks out and more than one was taken.
    int32_t FitCount() const;
    // The largest first index whose page still ends on the last item: count
    // less the items that fit wholly at the end (at least one), never below 0.
    int32_t LastFirst() const;
    // Where item i lies, also for an item before the first.
    Span SpanOf(int32_t index) const;
    // The item whose span holds the pixel; -1 before the content's start or
    // past the last item.
    int32_t IndexAt(int32_t pixel) const;

    // Item i's length in pixels, at least 1.
    int32_t Length(int32_t index) const;

    // The first index after the content is pulled `pull` pixels towards the
    // start (negative: towards the end) in whole items, held between 0 and
    // last; moved gets the pixels of the pull taken up by the items passed
    // (all of it at either end).
    int32_t Pulled(int32_t pull, int32_t last, int32_t& moved) const;

    // Calls visit(index, span) for the items from the first whose spans meet
    // from .. to, in order, until visit gives false; stops as well at count
    // and when a script error is pending.
    template <class Visit>
    void Walk(int32_t from, int32_t to, Visit&& visit) const;

private:
    bool Stopped() const;

    Interpreter& ip;
    int32_t start;
    int32_t extent;
    int32_t first;
    int32_t count;
    int32_t uniform;
    LengthOf lengthOf;
};

template <class Visit>
void ItemTrack::Walk(int32_t from, int32_t to, Visit&& visit) const
{
    if (to < from) return;
    int32_t index = first;
    int64_t near = start;
    // Items that end before `from` need not be asked for their lengths.
    if (uniform > 0 && from > start) {
        const int64_t skipped = (int64_t{from} - start) / uniform;
        index = static_cast<int32_t>(std::min<int64_t>(int64_t{first} + skipped, count));
        near += (index - int64_t{first}) * uniform;
    }
    for (; index < count && !Stopped(); ++index) {
        if (near > to) return;
        const int64_t far = near + Length(index) - 1;
        if (far >= from && !visit(index, Span{static_cast<int32_t>(near), static_cast<int32_t>(far)})) return;
        near = far + 1;
    }
}

} // namespace vellum::gui
