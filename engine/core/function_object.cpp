#include "engine/core/function_object.h"

#include <algorithm>

namespace vellum {

SourcePlace Code::SourceAt(size_t pc) const
{
    auto after = std::upper_bound(positions.begin(), positions.end(), pc,
                                  [](size_t at, const Position& p) { return at < p.pc; });
    if (after == positions.begin()) return {};
    return std::prev(after)->place;
}

} // namespace vellum
