#include "gui/controls/edit_view.h"

#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "platform/draw/canvas.h"
#include "platform/window/form_window.h"

namespace vellum::gui {

EditView::EditView(Interpreter& ip_) : View(ip_) {}

void EditView::Release()
{
    control.reset();
    window = nullptr;
}

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
    FontRecord font;
    {
        const Style style(*this);
        font = StyleFont(style);
    }
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
    return std::u16string(ip.ToString(text, false, true)->View());
}

void EditView::Arrange(platform::NativeWindow* hostWindow)
{
    Release();
    auto* formWindow = dynamic_cast<platform::FormWindow*>(hostWindow);
    if (formWindow == nullptr || table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    multiLine = WantsMultiLine();
    const Value borderValue = ip.GetProperty(table, u"border");
    const bool border = borderValue.tag == Tag::Bool ? borderValue.IsTrue() : !multiLine;
    const std::u16string text = TextProperty().value_or(std::u16string());
    control = platform::NativeControl::Create(*formWindow, multiLine ? platform::ControlKind::TextEdit
                                                                     : platform::ControlKind::LineEdit, *this);
    if (control == nullptr) return;
    // The view knows its control as its window, and the form finds the view by it.
    window = control.get();
    arranging = true;
    Edit().SetBorder(border);
    Edit().SetStyle(WindowStyle());
    if (control != nullptr) control->SetText(text);
    Refresh();
    arranging = false;
    if (control != nullptr) control->Show(visible);
}

void EditView::Refresh()
{
    if (control == nullptr || table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // Everything is read before anything is pushed: reading may run script code.
    const platform::EditStyle style = WindowStyle();
    const FontRecord font = ControlFont();
    const Rect content = GetContentRect();
    const std::optional<std::u16string> text = TextProperty();
    if (control == nullptr) return;
    Edit().SetStyle(style);
    control->SetFont(font.Choice());
    control->Move(content);
    // Last: a changed text tells "OnChange", which may do anything.
    if (text) control->SetText(*text);
}

int32_t EditView::MeasureHeight()
{
    const Style style(*this);
    const platform::Size digits = platform::TextExtent(StyleFont(style).Choice(), u"1234567890");
    const Margins m = StyleMargins(style);
    return digits.height + m.top + m.bottom + 2;
}

void EditView::Show()
{
    View::Show();
    if (control != nullptr) control->Show(true);
}

void EditView::Hide()
{
    View::Hide();
    if (control != nullptr) control->Show(false);
}

void EditView::TextChanged()
{
    if (arranging || form == nullptr || window == nullptr) return;
    form->ControlNotified(window, platform::ControlEvent::TextChanged, 0);
}

} // namespace vellum::gui
