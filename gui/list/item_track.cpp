#include "gui/list/item_track.h"

#include "engine/vm/interpreter.h"
#include "gui/style/length.h"

#include <algorithm>
#include <utility>

namespace vellum::gui {

ItemTrack::ItemTrack(Interpreter& ip_, int32_t start_, int32_t extent_, int32_t first_, int32_t count_,
                     int32_t uniform_, LengthOf lengthOf_)
    : ip(ip_), start(start_), extent(extent_), first(std::max(first_, 0)), count(count_), uniform(uniform_),
      lengthOf(std::move(lengthOf_))
{
    // Without a way to ask for lengths every item is one pixel long, so no
    // walk ever calls an empty function.
    if (!lengthOf) uniform = std::max(uniform, 1);
}

int32_t ItemTrack::Length(int32_t index) const
{
    if (uniform > 0) return uniform;
    return std::clamp(lengthOf(index), 1, kLargestLength);
}

bool ItemTrack::Stopped() const { return ip.ErrorPending(); }

int32_t ItemTrack::FitCount() const
{
    const int64_t room = int64_t{extent} + 1;
    int64_t sum = 0;
    int32_t taken = 0;
    // 64 bits: the first item may be the largest index there is.
    int64_t index = first;
    do {
        sum += Length(static_cast<int32_t>(index));
        ++taken;
        ++index;
    } while (sum < room && index < count && !Stopped());
    if (sum > room && taken > 1) --taken;
    return taken;
}

int32_t ItemTrack::LastFirst() const
{
    const int64_t room = int64_t{extent} + 1;
    int64_t sum = 0;
    int32_t fitting = 0;
    for (int32_t index = count - 1; index >= 0 && !Stopped(); --index) {
        sum += Length(index);
        if (sum > room) break;
        ++fitting;
    }
    return std::max(0, count - std::max(fitting, 1));
}

Span ItemTrack::SpanOf(int32_t index) const
{
    int64_t near = start;
    if (uniform > 0) {
        near += (int64_t{index} - first) * uniform;
    } else if (index >= first) {
        for (int32_t i = first; i < index && !Stopped(); ++i) near += Length(i);
    } else {
        for (int32_t i = index; i < first && !Stopped(); ++i) near -= Length(i);
    }
    const int64_t far = near + Length(index) - 1;
    return {ClampPixels(near), ClampPixels(far)};
}

int32_t ItemTrack::Pulled(int32_t pull, int32_t last, int32_t& moved) const
{
    int32_t index = first;
    int64_t left = pull;
    int64_t taken = 0;
    while (left > 0 && index < last && left >= Length(index)) {
        const int32_t length = Length(index++);
        left -= length;
        taken += length;
    }
    while (left < 0 && index > 0 && -left >= Length(index - 1)) {
        const int32_t length = Length(--index);
        left += length;
        taken -= length;
    }
    // At either end the items stop and the pointer's travel is all taken
    // up, so that turning back moves the content at once.
    if ((left > 0 && index >= last) || (left < 0 && index <= 0)) taken += left;
    moved = ClampPixels(taken);
    return index;
}

int32_t ItemTrack::IndexAt(int32_t pixel) const
{
    int32_t found = -1;
    Walk(pixel, pixel, [&](int32_t index, Span) {
        found = index;
        return false;
    });
    return found;
}

} // namespace vellum::gui
