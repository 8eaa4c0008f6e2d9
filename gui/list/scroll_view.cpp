#include "gui/list/scroll_view.h"

#include "engine/vm/interpreter.h"
#include "gui/style/length.h"
#include "platform/window/key_codes.h"

#include <algorithm>

namespace vellum::gui {

namespace {

// How far one line of the mouse wheel moves the child.
constexpr int32_t kWheelLineDip = 20;

} // namespace

int32_t ScrollView::PixelField(std::u16string_view name, bool vertical)
{
    const int32_t dip = std::clamp(IntField(name), 0, kLargestLength);
    return vertical ? DipToPxY(dip) : DipToPxX(dip);
}

Rect ScrollView::ChildRect()
{
    Rect r = GetContentRect();
    const int32_t minHeight = PixelField(u"minHeight", true);
    if (r.Height() < minHeight) {
        r.top -= PixelField(u"topPos", true);
        r.bottom = r.top + minHeight - 1;
    }
    const int32_t minWidth = PixelField(u"minWidth", false);
    if (r.Width() < minWidth) {
        r.left -= PixelField(u"leftPos", false);
        r.right = r.left + minWidth - 1;
    }
    return r;
}

void ScrollView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    if (inner == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // The child is laid out on its place before it is arranged there.
    inner->SetRect(ChildRect());
    inner->Arrange(hostWindow);
}

void ScrollView::Paint(Canvas& canvas, const Rect& clip)
{
    PaintClipped(canvas, clip, [&](const Rect&) {
        PlaceInner(ChildRect());
        inner->Paint(canvas, clip);
    });
}

void ScrollView::Refresh()
{
    if (inner == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    PlaceInner(ChildRect());
}

View* ScrollView::HitTest(int32_t x, int32_t y)
{
    if (!rect.Contains(x, y)) return nullptr;
    if (inner != nullptr) {
        ValueRoot keepSelf(ip, Value::Pointer(this));
        if (View* hit = inner->HitTest(x, y)) return hit;
    }
    return this;
}

View* ScrollView::FindById(std::u16string_view id)
{
    if (View* self = View::FindById(id)) return self;
    return inner != nullptr ? inner->FindById(id) : nullptr;
}

View* ScrollView::FindByWindow(const platform::NativeWindow* w)
{
    if (View* self = View::FindByWindow(w)) return self;
    return inner != nullptr ? inner->FindByWindow(w) : nullptr;
}

int32_t ScrollView::MeasureHeight() { return PixelField(u"minHeight", true); }

void ScrollView::OnCreate()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View::OnCreate();
    if (inner != nullptr) inner->OnCreate();
}

bool ScrollView::OnClose()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (!View::OnClose()) return false;
    return inner == nullptr || inner->OnClose();
}

void ScrollView::Show()
{
    View::Show();
    if (inner != nullptr) inner->Show();
}

void ScrollView::Hide()
{
    View::Hide();
    if (inner != nullptr) inner->Hide();
}

bool ScrollView::ScrollBy(int32_t leftDip, int32_t topDip)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Rect content = GetContentRect();
    // Only an axis on which the child is larger than the content scrolls,
    // and only as far as the child reaches.
    const auto moved = [&](std::u16string_view offset, std::u16string_view minimum, int32_t by, bool vertical) {
        const int32_t now = std::max(0, IntField(offset));
        const int32_t shown = vertical ? content.Height() : content.Width();
        const int32_t outside = PixelField(minimum, vertical) - shown;
        if (by == 0 || outside <= 0) return now;
        const int32_t room = vertical ? PxToDipY(outside) : PxToDipX(outside);
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{now} + by, 0, room));
    };
    const int32_t left = moved(u"leftPos", u"minWidth", leftDip, false);
    const int32_t top = moved(u"topPos", u"minHeight", topDip, true);
    if (left == std::max(0, IntField(u"leftPos")) && top == std::max(0, IntField(u"topPos"))) return false;
    ScrolledTo({{u"leftPos", left}, {u"topPos", top}});
    return true;
}

void ScrollView::OnMouseDown(int32_t x, int32_t y)
{
    drag.Press(x, y);
    View::OnMouseDown(x, y);
}

void ScrollView::OnMouseMove(int32_t x, int32_t y)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const platform::Point travel = drag.Travel(*this, x, y);
    // The child follows the pointer a whole DIP at a time; the rest of the
    // travel stays for the next move, and what the child cannot follow at
    // its ends is let go.
    const int32_t leftDip = -PxToDipX(travel.x);
    const int32_t topDip = -PxToDipY(travel.y);
    if (leftDip != 0 || topDip != 0) {
        ScrollBy(leftDip, topDip);
        drag.TakeUp(-DipToPxX(leftDip), -DipToPxY(topDip));
    }
    View::OnMouseMove(x, y);
}

void ScrollView::OnMouseUp(int32_t x, int32_t y)
{
    drag.Release();
    View::OnMouseUp(x, y);
}

bool ScrollView::OnWheel(int32_t across, int32_t down)
{
    const auto dip = [](int32_t lines) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{lines} * kWheelLineDip, -kLargestLength, kLargestLength));
    };
    return ScrollBy(dip(across), dip(down));
}

bool ScrollView::OnKeyDown(int32_t key)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    // A page keeps its last line in view, as a list keeps its last item.
    const int32_t page = std::max(kWheelLineDip, PxToDipY(GetContentRect().Height()) - kWheelLineDip);
    switch (key) {
    case platform::vk::Up:
        ScrollBy(0, -kWheelLineDip);
        break;
    case platform::vk::Down:
        ScrollBy(0, kWheelLineDip);
        break;
    case platform::vk::Left:
        ScrollBy(-kWheelLineDip, 0);
        break;
    case platform::vk::Right:
        ScrollBy(kWheelLineDip, 0);
        break;
    case platform::vk::Prior:
        ScrollBy(0, -page);
        break;
    case platform::vk::Next:
        ScrollBy(0, page);
        break;
    case platform::vk::Home:
        ScrollBy(0, -kLargestLength);
        break;
    case platform::vk::End:
        ScrollBy(0, kLargestLength);
        break;
    default:
        break;
    }
    return View::OnKeyDown(key);
}

} // namespace vellum::gui
