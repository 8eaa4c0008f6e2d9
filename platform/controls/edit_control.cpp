// The facade over the edit widgets' behaviour: plain texts in and out.
#include "platform/controls/edit_control.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/edit_widget.h"
#include "platform/qt_convert.h"

namespace vellum::platform {

EditControl::EditControl(NativeControl* control)
    : edit(control != nullptr ? dynamic_cast<Behaviour*>(WidgetOf(*control).widget.data()) : nullptr)
{
}

void EditControl::SetStyle(const EditStyle& style)
{
    if (edit != nullptr) edit->ApplyStyle(style);
}

void EditControl::SetBorder(bool border)
{
    if (edit != nullptr) edit->SetBorder(border);
}

void EditControl::SetTabStop(int32_t dialogUnits)
{
    if (edit != nullptr) edit->SetTabStop(dialogUnits);
}

bool EditControl::Modified() const { return edit != nullptr && edit->Modified(); }

void EditControl::SetModified(bool modified)
{
    if (edit != nullptr) edit->SetModified(modified);
}

bool EditControl::CanUndo() const { return edit != nullptr && edit->CanUndo(); }

void EditControl::Undo()
{
    if (edit != nullptr) edit->Undo();
}

EditSelection EditControl::Selection() const { return edit != nullptr ? edit->Selection() : EditSelection{}; }

void EditControl::Select(int32_t start, int32_t end)
{
    if (edit != nullptr) edit->Select(start, end);
}

void EditControl::ReplaceSel(std::u16string_view text, bool undoable)
{
    if (edit != nullptr) edit->ReplaceSel(ToQString(text), undoable);
}

void EditControl::Append(std::u16string_view text)
{
    if (edit != nullptr) edit->Append(ToQString(text));
}

int32_t EditControl::LineCount() const { return edit != nullptr ? edit->LineCount() : 0; }

int32_t EditControl::LineFromChar(int32_t charIndex) const { return edit != nullptr ? edit->LineFromChar(charIndex) : 0; }

int32_t EditControl::LineIndex(int32_t line) const { return edit != nullptr ? edit->LineIndex(line) : 0; }

int32_t EditControl::LineLength(int32_t charIndex) const { return edit != nullptr ? edit->LineLength(charIndex) : 0; }

std::u16string EditControl::Line(int32_t line) const
{
    return edit != nullptr ? ToU16String(edit->Line(line)) : std::u16string{};
}

void EditControl::ScrollCaret()
{
    if (edit != nullptr) edit->ScrollCaret();
}

void EditControl::Cut()
{
    if (edit != nullptr) edit->Cut();
}

void EditControl::Copy()
{
    if (edit != nullptr) edit->Copy();
}

void EditControl::Paste()
{
    if (edit != nullptr) edit->Paste();
}

void EditControl::IndentSel()
{
    if (edit != nullptr) edit->IndentSel();
}

void EditControl::UnindentSel()
{
    if (edit != nullptr) edit->UnindentSel();
}

} // namespace vellum::platform
