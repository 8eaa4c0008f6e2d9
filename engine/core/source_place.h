// Where in the script text something happened: an offset into one of the
// texts the interpreter compiled (the script itself, an included file), and
// that offset as the line and column a user reads.
#pragma once

#include <cstdint>
#include <string_view>

namespace vellum {

// Code compiled from a text the user never sees as a script (the text an
// expression is evaluated from) records no places.
inline constexpr uint32_t kNoSourceText = UINT32_MAX;

struct SourcePlace {
    int32_t position = -1; // units from the start of the text; -1 when unknown
    uint32_t text = kNoSourceText;

    bool Known() const { return position >= 0 && text != kNoSourceText; }
    bool operator==(const SourcePlace&) const = default;
};

// Line and column, both from 1. A line ends at a line feed, a carriage
// return alone, or a carriage return and line feed.
struct TextLocation {
    int line = 1;
    int column = 1;
};
TextLocation LocateInText(std::u16string_view text, int32_t position);

} // namespace vellum
