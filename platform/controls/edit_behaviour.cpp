// The handheld edit's rules, shared by the single- and the multi-line
// widget: every edit passes through here, so undo, the modify flag and the
// change notification follow the same rules whoever edits.
#include "platform/controls/edit_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QKeyEvent>

#include <algorithm>

namespace vellum::platform {

namespace {

// The handheld's default: a tab stop every 32 dialog units (8 characters).
constexpr int32_t kDefaultTabStopUnits = 32;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool Printable(const QString& text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

// The clipboard holds the desktop's LF line ends; the edit holds CR LF.
QString ToClipboard(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString FromClipboard(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

} // namespace

EditControl::Behaviour::Snapshot EditControl::Behaviour::Now() const
{
    const auto [caret, anchor] = CaretAndAnchor();
    return {Text(), anchor, caret};
}

void EditControl::Behaviour::Changed()
{
    if (changed) changed();
}

QString EditControl::Behaviour::Cased(const QString& text) const
{
    if (rules.upperCase) return text.toUpper();
    if (rules.lowerCase) return text.toLower();
    return text;
}

void EditControl::Behaviour::SetText(const QString& text)
{
    const QString cased = Cased(text);
    // A layout writing back what the control already holds keeps the
    // user's caret, undo and modify flag.
    if (cased == Text()) return;
    RawSetText(cased);
    undo.reset();
    typingCaret.reset();
    modified = false;
    Changed();
}

void EditControl::Behaviour::ApplyStyle(const EditStyle& style_)
{
    rules = style_;
    StyleChanged();
    ShowSelection(Widget().hasFocus());
}

// A dialog unit across is a quarter of the font's average character width.
qreal TabStopPixels(const QFont& font, int32_t dialogUnits)
{
    return dialogUnits * QFontMetricsF(font).averageCharWidth() / 4;
}

void EditControl::Behaviour::SetTabStop(int32_t dialogUnits)
{
    tabStopUnits = dialogUnits > 0 ? dialogUnits : kDefaultTabStopUnits;
    TabStopChanged(TabStopPixels(Widget().font(), tabStopUnits));
}

void EditControl::Behaviour::ShowSelection(bool focused)
{
    const bool hidden = !focused && !rules.noHideSel;
    if (selectionHidden == hidden) return;
    selectionHidden = hidden;
    const QPalette standard = QApplication::palette(&Widget());
    QPalette palette = Widget().palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight,
                         hidden ? standard.color(group, QPalette::Base) : standard.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(group, QPalette::HighlightedText,
                         hidden ? standard.color(group, QPalette::Text)
                                : standard.color(QPalette::Active, QPalette::HighlightedText));
    }
    Widget().setPalette(palette);
}

void EditControl::Behaviour::Undo()
{
    if (!undo) return;
    // The undo is itself undoable: undoing twice puts the edit back.
    const Snapshot now = Now();
    const Snapshot back = *std::exchange(undo, now);
    RawSetText(back.text);
    Place(back.anchor, back.caret);
    typingCaret.reset();
    modified = true;
    Changed();
}

EditSelection EditControl::Behaviour::Selection() const
{
    const auto [caret, anchor] = CaretAndAnchor();
    return {std::min(caret, anchor), std::max(caret, anchor)};
}

void EditControl::Behaviour::Select(int32_t start, int32_t end)
{
    typingCaret.reset();
    if (start < 0) {
        const int32_t caret = Caret();
        Place(caret, caret);
        return;
    }
    const auto length = static_cast<int32_t>(Text().size());
    if (end < 0 || end > length) end = length;
    Place(std::min(start, length), end);
}

void EditControl::Behaviour::ReplaceSel(const QString& text, bool undoable)
{
    const QString insert = Fitting(Cased(text));
    const EditSelection sel = Selection();
    const auto replace = [&] { RawReplace(sel.start, sel.end, insert); };
    if (undoable) {
        UserEdit(replace, false);
        return;
    }
    undo.reset();
    typingCaret.reset();
    if (insert.isEmpty() && sel.start == sel.end) return;
    replace();
    modified = true;
    Changed();
}

void EditControl::Behaviour::Append(const QString& text)
{
    const auto length = static_cast<int32_t>(Text().size());
    Place(length, length);
    ReplaceSel(text, false);
}

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

void EditControl::Behaviour::Copy()
{
    const EditSelection sel = Selection();
    if (rules.password || sel.start == sel.end) return;
    QApplication::clipboard()->setText(ToClipboard(Text().mid(sel.start, sel.end - sel.start)));
}

void EditControl::Behaviour::Cut()
{
    const EditSelection sel = Selection();
    if (rules.password || rules.readOnly || sel.start == sel.end) return;
    Copy();
    UserEdit([&] { RawReplace(sel.start, sel.end, {}); }, false);
}

void EditControl::Behaviour::Paste()
{
    if (rules.readOnly) return;
    QString text = FromClipboard(QApplication::clipboard()->text());
    // A single line takes the clipboard's first line (all of it when it holds one).
    if (const qsizetype lineEnd = text.indexOf(u'\r'); !MultiLine() && lineEnd >= 0) text.truncate(lineEnd);
    const QString insert = Fitting(Cased(text));
    if (insert.isEmpty()) return;
    const EditSelection sel = Selection();
    UserEdit([&] { RawReplace(sel.start, sel.end, insert); }, false);
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

void EditControl::Behaviour::UserEdit(const std::function<void()>& edit, bool typing)
{
    const Snapshot before = Now();
    edit();
    if (Text() == before.text) return;
    const bool continues =
        typing && typingCaret && before.anchor == before.caret && before.caret == *typingCaret;
    if (!continues) undo = before;
    typingCaret = typing ? std::optional<int32_t>(Caret()) : std::nullopt;
    modified = true;
    Changed();
}

void EditControl::Behaviour::Type(const QString& text)
{
    if (rules.readOnly) return;
    const bool rejected = rules.number && !std::all_of(text.begin(), text.end(), IsDigit);
    const QString insert = rejected ? QString() : Fitting(Cased(text));
    if (insert.isEmpty()) {
        QApplication::beep();
        return;
    }
    UserEdit(
        [&] {
            const EditSelection sel = Selection();
            RawReplace(sel.start, sel.end, insert);
        },
        true);
}

bool EditControl::Behaviour::HandleKey(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo)) {
        if (!rules.readOnly) Undo();
        return true;
    }
    if (event->matches(QKeySequence::Redo)) return true;
    if (event->matches(QKeySequence::Cut)) {
        Cut();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        return true;
    }
    const bool command = (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)) != 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (MultiLine() && !command) Type(QStringLiteral("\r\n"));
        return true;
    case Qt::Key_Tab:
        // A key like any other: it never moves the focus.
        if (MultiLine() && !command) Type(QStringLiteral("\t"));
        return true;
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (command || !Printable(event->text())) return false;
    Type(event->text());
    return true;
}

} // namespace vellum::platform
