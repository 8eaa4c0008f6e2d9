// What a scroll bar adds to the control host: its range, page and
// position, kept and clamped as the handheld's scroll bars keep them. The
// bar moves only where the program puts it: a user's action reaches the
// handler as a scroll code (Scrolled) and leaves the position to it.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>

namespace vellum::platform {

// The scroll codes the handler hears.
enum ScrollCode : int32_t {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4, // the drag ended
    kScrollThumbTrack = 5,    // the thumb is dragged; trackPos says where
    kScrollTop = 6,
    kScrollBottom = 7,
};

struct ScrollInfo {
    int32_t min = 0;
    int32_t max = 0; // the last position of the range, not of the thumb
    int32_t page = 0;
    int32_t pos = 0;
    int32_t trackPos = 0; // where the last drag or jump asked the thumb to go
};

void SetScrollHorizontal(NativeControl& bar, bool horizontal);
// Sets range, page and position (not trackPos): the page is brought within
// the range's length and the position within min .. max - page + 1.
void SetScrollInfo(NativeControl& bar, const ScrollInfo& info);
ScrollInfo GetScrollInfo(NativeControl& bar);
// Moves the thumb to pos brought within the bounds; gives where it is now.
int32_t SetScrollPosition(NativeControl& bar, int32_t pos);
// The system's scroll-bar thickness, in device-independent pixels.
int32_t ScrollBarThicknessDip();

} // namespace vellum::platform
