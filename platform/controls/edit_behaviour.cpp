// The handheld edit's rules, shared by the single- and the multi-line
// widget: every edit passes through here, so undo, the modify flag and the
// change notification follow the same rules whoever edits.
#include "platform/controls/edit_widget.h"

#include <QApplication>
#include <QFontMetricsF>

#include <algorithm>
#include <utility>

namespace vellum::platform {

namespace {

// The handheld's default: a tab stop every 32 dialog units (8 characters).
constexpr int32_t kDefaultTabStopUnits = 32;

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

} // namespace vellum::platform
