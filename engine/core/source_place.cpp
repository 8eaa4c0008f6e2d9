#include "engine/core/source_place.h"

#include <algorithm>

namespace vellum {

TextLocation LocateInText(std::u16string_view text, int32_t position)
{
    TextLocation at;
    const size_t end = std::min(static_cast<size_t>(std::max(position, 0)), text.size());
    for (size_t i = 0; i < end; ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++at.line;
            at.column = 1;
        } else if (c != u'\r') {
            ++at.column;
        }
    }
    return at;
}

} // namespace vellum
