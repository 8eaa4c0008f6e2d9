#include "gui/style/text_lines.h"

namespace vellum::gui {

namespace {

constexpr size_t kLongestWord = 254;

bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

} // namespace

TextLines::TextLines(std::u16string_view text_, const platform::FontChoice& font_, int32_t maxWidth_)
    : text(text_), measure(font_), maxWidth(maxWidth_)
{
}

TextLines::Word TextLines::WordAt(size_t at) const
{
    Word word{at, at, at};
    while (word.chars < text.size() && word.chars - at < kLongestWord && text[word.chars] == u' ') ++word.chars;
    word.end = word.chars;
    while (word.end < text.size() && word.end - at < kLongestWord && text[word.end] != u' ' &&
           !IsBreak(text[word.end])) {
        ++word.end;
    }
    return word;
}

int32_t TextLines::WidthOf(size_t begin, size_t end) const
{
    return measure.Extent(text.substr(begin, end - begin)).width;
}

bool TextLines::AtBreak() const { return pos < text.size() && IsBreak(text[pos]); }

std::optional<TextLines::Line> TextLines::Next()
{
    // The first word is taken however wide; on later lines without its blanks.
    const Word first = WordAt(pos);
    const size_t begin = firstLine ? first.begin : first.chars;
    size_t end = first.end;
    int32_t width = WidthOf(begin, end);
    pos = end;
    firstLine = false;

    // The line with the next word is measured whole, as it would be drawn:
    // advances need not be whole pixels, so the widths of words do not add up.
    while (pos < text.size() && !AtBreak()) {
        const Word word = WordAt(pos);
        const int32_t longer = WidthOf(begin, word.end);
        if (longer > maxWidth) break;
        width = longer;
        end = pos = word.end;
    }
    if (AtBreak()) {
        const char16_t broke = text[pos++];
        // CR LF and LF CR are one break.
        if (pos < text.size() && IsBreak(text[pos]) && text[pos] != broke) ++pos;
    }
    if (pos >= text.size() && width < 1) return std::nullopt;
    return Line{text.substr(begin, end - begin), {width, measure.LineHeight()}};
}

int32_t TextLines::Count(std::u16string_view text, const platform::FontChoice& font, int32_t maxWidth, int32_t most)
{
    TextLines lines(text, font, maxWidth);
    int32_t count = 0;
    while (count < most && lines.Next()) ++count;
    return count;
}

} // namespace vellum::gui
