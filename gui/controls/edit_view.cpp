#include "gui/controls/edit_view.h"

#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/view/refresh_cause.h"
#include "platform/draw/canvas.h"

namespace vellum::gui {

EditView::EditView(Interpreter& ip_) : ControlView(ip_, platform::ControlKind::LineEdit) {}

bool EditView::Flag(std::u16string_view name, bool def)
{
    const Value v = ip.GetProperty(table, name);
    return v.tag == Tag::Bool ? v.IsTrue() : def;
}

bool EditView::WantsMultiLine()
{
    const Value v = ip.GetProperty(table, u"multiLine");
    if (v.tag == Tag::Bool) return v.IsTrue();
    return Flag(u"vScroll", false) || Flag(u"hScroll", false);
}

platform::EditStyle EditView::WindowStyle()
{
    platform::EditStyle style;
    style.vScroll = Flag(u"vScroll", false);
    style.hScroll = Flag(u"hScroll", false);
    style.number = Flag(u"number", false);
    style.password = Flag(u"password", false);
    style.autoScroll = Flag(u"autoScroll", true);
    style.readOnly = Flag(u"readOnly", false);
    style.noHideSel = Flag(u"noHideSel", false);
    style.upperCase = Flag(u"upperCase", false);
    style.lowerCase = Flag(u"lowerCase", false);
    return style;
}

FontRecord EditView::ControlFont()
{
    FontRecord font = ControlView::ControlFont();
    if (font.size == 0 && !multiLine) {
        const Rect content = GetContentRect();
        // A single line's automatic font fills its height.
        if (content.bottom - content.top - 3 > 0) font.size = content.bottom - content.top - 3;
    }
    return font;
}

std::optional<std::u16string> EditView::TextProperty()
{
    const Value text = ip.GetProperty(table, u"text");
    if (text.IsNull()) return std::nullopt;
    return ip.ToString(text, false, true)->Utf16();
}

platform::ControlKind EditView::KindToMake()
{
    multiLine = table != nullptr && WantsMultiLine();
    return multiLine ? platform::ControlKind::TextEdit : platform::ControlKind::LineEdit;
}

void EditView::Created()
{
    if (table == nullptr) return;
    const Value borderValue = ip.GetProperty(table, u"border");
    const bool border = borderValue.tag == Tag::Bool ? borderValue.IsTrue() : !multiLine;
    const std::u16string text = TextProperty().value_or(std::u16string());
    if (Control() == nullptr) return;
    Edit().SetBorder(border);
    Edit().SetStyle(WindowStyle());
    if (Control() != nullptr) Control()->SetText(text);
}

void EditView::Refresh()
{
    if (Control() == nullptr || table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // Everything is read before anything is pushed: reading may run script code.
    const platform::EditStyle style = WindowStyle();
    const FontRecord font = ControlFont();
    const Rect content = GetContentRect();
    const std::optional<std::u16string> text = TextProperty();
    if (Control() == nullptr) return;
    Edit().SetStyle(style);
    Control()->SetFont(font.Choice());
    Control()->Move(content);
    // Last: a changed text tells "OnChange", which may do anything.
    if (text && !RefreshCause::KeepsTypedText()) Control()->SetText(*text);
}

int32_t EditView::MeasureHeight()
{
    const Style style(*this);
    const platform::Size digits = platform::TextExtent(StyleFont(style).Choice(), u"1234567890");
    const Margins m = StyleMargins(style);
    return digits.height + m.top + m.bottom + 2;
}

void EditView::TextChanged()
{
    if (!Arranging()) ControlView::TextChanged();
}

} // namespace vellum::gui
