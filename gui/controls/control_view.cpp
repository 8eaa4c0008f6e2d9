#include "gui/controls/control_view.h"

#include "gui/style/length.h"

namespace vellum::gui {

ControlView::ControlView(Interpreter& ip_, platform::ControlKind kind_) : View(ip_), kind(kind_) {}

void ControlView::Release()
{
    control.reset();
    window = nullptr;
}

void ControlView::Arrange(platform::NativeWindow* hostWindow)
{
    Release();
    auto* formWindow = dynamic_cast<platform::FormWindow*>(hostWindow);
    if (formWindow == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    control = platform::NativeControl::Create(*formWindow, KindToMake(), *this);
    if (control == nullptr) return;
    // The view knows its control as its window: the form finds the view by
    // it when the control takes the focus.
    window = control.get();
    arranging = true;
    Created();
    Refresh();
    arranging = false;
    if (control != nullptr) control->Show(visible);
}

void ControlView::Show()
{
    View::Show();
    if (control != nullptr) control->Show(true);
}

void ControlView::Hide()
{
    View::Hide();
    if (control != nullptr) control->Show(false);
}

FontRecord ControlView::ControlFont()
{
    const Style style(*this);
    return StyleFont(style);
}

void ControlView::PushFont()
{
    const FontRecord font = ControlFont();
    if (control != nullptr) control->SetFont(font.Choice());
}

void ControlView::MoveToContent()
{
    const Rect content = GetContentRect();
    if (control != nullptr) control->Move(content);
}

void ControlView::Clicked()
{
    // The click goes up to the parents while the handlers run.
    ValueRoot keepSelf(ip, Value::Pointer(this));
    OnClick();
}

void ControlView::TextChanged() { CallHandler(u"OnChange"); }

platform::Size CaptionSize(View& view, std::u16string_view caption, int32_t extra)
{
    const Style style(view);
    const platform::Size text = platform::TextExtent(StyleFont(style).Choice(), caption);
    const Margins m = StyleMargins(style);
    return {ClampPixels(int64_t{text.width} + m.left + m.right + extra),
            ClampPixels(int64_t{text.height} + m.top + m.bottom + extra)};
}

} // namespace vellum::gui
