#include "gui/controls/button_view.h"

#include "gui/style/view_property.h"
#include "platform/controls/button_control.h"

namespace vellum::gui {

namespace {

// The face around the caption.
constexpr int32_t kFacePixels = 8;

platform::CaptionHAlign CaptionHAlignOf(Align align)
{
    switch (align) {
    case Align::Center:
        return platform::CaptionHAlign::Center;
    case Align::Right:
        return platform::CaptionHAlign::Right;
    case Align::Left:
        break;
    }
    return platform::CaptionHAlign::Left;
}

platform::CaptionVAlign CaptionVAlignOf(VAlign valign)
{
    switch (valign) {
    case VAlign::Top:
        return platform::CaptionVAlign::Top;
    case VAlign::Bottom:
        return platform::CaptionVAlign::Bottom;
    case VAlign::Center:
        break;
    }
    return platform::CaptionVAlign::Center;
}

} // namespace

ButtonView::ButtonView(Interpreter& ip_) : ControlView(ip_, platform::ControlKind::Button) {}

void ButtonView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    platform::CaptionHAlign h;
    platform::CaptionVAlign v;
    {
        const Style style(*this);
        h = CaptionHAlignOf(StyleAlign(style));
        v = CaptionVAlignOf(StyleVAlign(style));
    }
    if (Control() != nullptr) platform::SetButtonAlignment(*Control(), h, v);
    PushFont();
    const std::u16string caption = ViewText(*this, u"text");
    if (Control() != nullptr) Control()->SetText(caption);
    MoveToContent();
}

int32_t ButtonView::MeasureHeight() { return CaptionSize(*this, ViewText(*this, u"text"), kFacePixels).height; }

int32_t ButtonView::MeasureWidth() { return CaptionSize(*this, ViewText(*this, u"text"), kFacePixels).width; }

} // namespace vellum::gui
