#include "gui/controls/scroll_bar_view.h"

#include "gui/style/view_property.h"
#include "platform/controls/scroll_control.h"

#include <algorithm>
#include <cstdint>

namespace vellum::gui {

namespace {

constexpr int32_t kDefaultRange = 100;
constexpr int32_t kDefaultPage = 10;

int32_t NumberOr(View& view, std::u16string_view name, int32_t fallback)
{
    int32_t n = 0;
    return Interpreter::ValueToInt(ViewProperty(view, name), n) ? n : fallback;
}

// A range of n positions ends at n - 1; a negative count is none.
int32_t LastPosition(int32_t scrollRange) { return std::max(scrollRange, 0) - 1; }

} // namespace

ScrollBarView::ScrollBarView(Interpreter& ip_) : ControlView(ip_, platform::ControlKind::ScrollBar) {}

bool ScrollBarView::Horizontal() { return ViewProperty(*this, u"horizontal").IsTrue(); }

void ScrollBarView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const bool horizontal = Horizontal();
    platform::ScrollInfo info;
    info.max = LastPosition(NumberOr(*this, u"scrollRange", kDefaultRange));
    info.page = NumberOr(*this, u"pgSize", kDefaultPage);
    info.pos = NumberOr(*this, u"curPos", 0);
    if (Control() != nullptr) platform::SetScrollHorizontal(*Control(), horizontal);
    PushFont();
    if (Control() != nullptr) platform::SetScrollInfo(*Control(), info);
    MoveToContent();
}

int32_t ScrollBarView::Thickness()
{
    const int32_t range = NumberOr(*this, u"scrollRange", kDefaultRange);
    const int32_t page = NumberOr(*this, u"pgSize", kDefaultPage);
    if (ViewProperty(*this, u"autoHide").IsTrue() && page >= range) return 0;
    return Horizontal() ? DipToPxY(platform::ScrollBarThicknessDip()) : DipToPxX(platform::ScrollBarThicknessDip());
}

int32_t ScrollBarView::ParentLength(bool horizontal)
{
    if (parent == nullptr) return 0;
    const Rect content = parent->GetContentRect();
    return horizontal ? content.Width() : content.Height();
}

int32_t ScrollBarView::MeasureHeight() { return Horizontal() ? Thickness() : ParentLength(false); }

int32_t ScrollBarView::MeasureWidth() { return Horizontal() ? ParentLength(true) : Thickness(); }

void ScrollBarView::Scrolled(int32_t code)
{
    if (Control() == nullptr || table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const platform::ScrollInfo info = platform::GetScrollInfo(*Control());
    int64_t wanted = info.pos;
    switch (code) {
    case platform::kScrollLineUp:
        wanted = int64_t{info.pos} - 1;
        break;
    case platform::kScrollLineDown:
        wanted = int64_t{info.pos} + 1;
        break;
    case platform::kScrollPageUp:
        wanted = int64_t{info.pos} - info.page;
        break;
    case platform::kScrollPageDown:
        wanted = int64_t{info.pos} + info.page;
        break;
    case platform::kScrollThumbTrack:
        wanted = info.trackPos;
        break;
    case platform::kScrollTop:
        wanted = info.min;
        break;
    case platform::kScrollBottom:
        wanted = info.max;
        break;
    default:
        break;
    }
    const auto bounded = static_cast<int32_t>(std::clamp<int64_t>(wanted, INT32_MIN, INT32_MAX));
    const int32_t now = platform::SetScrollPosition(*Control(), bounded);
    if (now == info.pos) return;
    ip.TableSet(table, u"curPos", Value::Number(now));
    CallHandler(u"OnScroll");
}

} // namespace vellum::gui
