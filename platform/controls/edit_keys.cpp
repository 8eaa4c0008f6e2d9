// The user's keys and typing: the edit's commands, Enter and Tab as text
// in a multi-line edit, and typed text through the number and case filters.
#include "platform/controls/edit_widget.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace vellum::platform {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool Printable(const QString& text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

} // namespace

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
