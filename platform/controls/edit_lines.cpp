// The edit's lines as it shows them (a wrapped line counts as one), and
// the commands that indent and unindent the selected lines by a tab.
#include "platform/controls/edit_widget.h"

#include <algorithm>

namespace vellum::platform {

int32_t EditControl::Behaviour::LineOf(const std::vector<LineSpan>& lines, int32_t charIndex) const
{
    // The last line starting at or before the character; a wrapped line's
    // first character belongs to the line it is shown on.
    const auto after = std::upper_bound(lines.begin(), lines.end(), charIndex,
                                        [](int32_t c, const LineSpan& line) { return c < line.start; });
    return after == lines.begin() ? 0 : static_cast<int32_t>(after - lines.begin() - 1);
}

int32_t EditControl::Behaviour::LineCount() const { return static_cast<int32_t>(ShownLines().size()); }

int32_t EditControl::Behaviour::LineFromChar(int32_t charIndex) const
{
    if (charIndex < 0) charIndex = Selection().start;
    return LineOf(ShownLines(), charIndex);
}

int32_t EditControl::Behaviour::LineIndex(int32_t line) const
{
    const std::vector<LineSpan> lines = ShownLines();
    if (line < 0) line = LineOf(lines, Caret());
    if (line >= static_cast<int32_t>(lines.size())) return -1;
    return lines[static_cast<size_t>(line)].start;
}

int32_t EditControl::Behaviour::LineLength(int32_t charIndex) const
{
    const std::vector<LineSpan> lines = ShownLines();
    if (charIndex >= 0) return lines[static_cast<size_t>(LineOf(lines, charIndex))].length;
    const EditSelection sel = Selection();
    const LineSpan& first = lines[static_cast<size_t>(LineOf(lines, sel.start))];
    const LineSpan& last = lines[static_cast<size_t>(LineOf(lines, sel.end))];
    return std::max(0, sel.start - first.start) + std::max(0, last.start + last.length - sel.end);
}

QString EditControl::Behaviour::Line(int32_t line) const
{
    if (!MultiLine()) return Text();
    const std::vector<LineSpan> lines = ShownLines();
    if (line < 0 || line >= static_cast<int32_t>(lines.size())) return {};
    const LineSpan& span = lines[static_cast<size_t>(line)];
    return Text().mid(span.start, span.length);
}

void EditControl::Behaviour::IndentSel()
{
    const EditSelection sel = Selection();
    const int32_t first = LineFromChar(sel.start);
    const int32_t last = LineFromChar(sel.end - 1);
    for (int32_t i = first; i <= last; ++i) {
        const int32_t p = LineIndex(i);
        const QString line = Line(i);
        Select(p, p + static_cast<int32_t>(line.size()));
        ReplaceSel(u'\t' + line, false);
    }
    Select(sel.start, sel.end + (last - first + 1));
}

void EditControl::Behaviour::UnindentSel()
{
    const EditSelection sel = Selection();
    const int32_t first = LineFromChar(sel.start);
    const int32_t last = LineFromChar(sel.end - 1);
    int32_t changedLines = 0;
    for (int32_t i = first; i <= last; ++i) {
        const int32_t p = LineIndex(i);
        const QString line = Line(i);
        if (!line.startsWith(u'\t')) continue;
        Select(p, p + static_cast<int32_t>(line.size()));
        ReplaceSel(line.mid(1), false);
        ++changedLines;
    }
    Select(sel.start, sel.end - changedLines);
}

} // namespace vellum::platform
