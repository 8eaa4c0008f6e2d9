// Breaking a text into lines that fit a width, word by word. A word is a
// run of blanks followed by a run of other characters, at most 254 units
// in all; words are never split for width, so a word wider than the line
// gets a line of its own. CR, LF, CR LF and LF CR end a line.
#pragma once

#include "platform/draw/canvas.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellum::gui {

class TextLines {
public:
    struct Line {
        std::u16string_view text; // a part of the broken text
        platform::Size size;
    };

    // The text must outlive the breaker.
    TextLines(std::u16string_view text, const platform::FontChoice& font, int32_t maxWidth);

    // The next line; none once the text is used up.
    std::optional<Line> Next();

    // How many lines the whole text breaks into, or `most` when it breaks
    // into more.
    static int32_t Count(std::u16string_view text, const platform::FontChoice& font, int32_t maxWidth,
                         int32_t most = INT32_MAX);

private:
    struct Word {
        size_t begin; // its leading blanks
        size_t chars; // its first character after them
        size_t end;
    };
    Word WordAt(size_t at) const;
    int32_t WidthOf(size_t begin, size_t end) const;
    bool AtBreak() const;

    std::u16string_view text;
    platform::TextMeasure measure;
    int32_t maxWidth;
    size_t pos = 0;
    bool firstLine = true;
};

} // namespace vellum::gui
