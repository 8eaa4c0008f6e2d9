// The edit control as the handheld's programs know it, over a native
// control of kind LineEdit or TextEdit. Its text has CR LF line ends;
// positions, selections, line indexes and lengths count a CR LF as two
// characters and a lone LF as one; lines are counted as they are shown (a
// wrapped line is two). Undo is single-level: the last user edit, which an
// Undo turns into the edit that undoes it. Nothing of Qt shows here.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellum::platform {

// What the script's properties ask of an edit; multi-line and the border
// are chosen when the control is made.
struct EditStyle {
    bool vScroll = false;
    bool hScroll = false;
    bool number = false;     // typed characters: digits only
    bool password = false;   // single-line: masked
    bool autoScroll = true;  // without it a single-line edit takes only what fits, a multi-line one wraps words
    bool readOnly = false;
    bool noHideSel = false;  // the selection stays visible without the focus
    bool upperCase = false;  // typed, pasted and set text
    bool lowerCase = false;
};

struct EditSelection {
    int32_t start = 0; // start <= end
    int32_t end = 0;
};

// Made afresh for each use from the view's control. Every operation does
// nothing (and answers 0, false or "") when the control is gone or is no
// edit. Operations that change the text tell the
// control's handler (TextChanged), which may run script code that destroys
// the control: callers must not use the control again without checking.
class EditControl {
public:
    // Over no control every operation does nothing.
    explicit EditControl(NativeControl* control);

    bool Valid() const { return edit != nullptr; }

    void SetStyle(const EditStyle& style);
    void SetBorder(bool border);
    // One tab stop every n dialog units (a quarter of the font's average
    // character width); n <= 0 puts back the default of 32.
    void SetTabStop(int32_t dialogUnits);

    bool Modified() const;
    void SetModified(bool modified);
    bool CanUndo() const;
    void Undo();

    EditSelection Selection() const;
    // The handheld's selection rules: start -1 drops the selection, end -1
    // (or past the end) means the end of the text; the caret goes to end.
    void Select(int32_t start, int32_t end);
    // Replaces the selection (case rules and a non-scrolling single-line
    // edit's width apply), caret after it; undoable or emptying the undo.
    void ReplaceSel(std::u16string_view text, bool undoable);
    // Caret to the end, then ReplaceSel (not undoable).
    void Append(std::u16string_view text);

    int32_t LineCount() const;
    // Line of a character; -1 is the line of the selection's start.
    int32_t LineFromChar(int32_t charIndex) const;
    // First character of a line; -1 is the caret's line; -1 past the last line.
    int32_t LineIndex(int32_t line) const;
    // Length of the line holding the character, without its line end; -1
    // counts the unselected characters on the lines of the selection.
    int32_t LineLength(int32_t charIndex) const;
    // The text of a line, without its line end; "" past the last line. A
    // single-line edit gives its whole text for any line.
    std::u16string Line(int32_t line) const;

    void ScrollCaret();
    // Through the system clipboard; a password edit gives nothing away.
    void Cut();
    void Copy();
    void Paste();
    // A TAB at the start of every line of the selection (a selection ending
    // at a line's start leaves that line); the selection grows by one per
    // line. Not undoable.
    void IndentSel();
    // The first TAB off every line of the selection that starts with one;
    // the selection end moves back by one per line changed.
    void UnindentSel();

    class Behaviour;

private:
    Behaviour* edit;
};

} // namespace vellum::platform
