// TList: a list of "listSize" items shown through one item view. For each
// visible item the list calls the script's "SetItem"(index) to fill the
// item view, places the item view on the item's rectangle and paints it, so
// a list of any length costs what its visible items cost. Items run top to
// bottom, or left to right when "horizontal" is true; the first visible one
// is "topPos". Their lengths come from "GetItemSize"(index) when the list
// has that method, else the page of "pgSize" items shares the content's
// length equally.
#pragma once

#include "gui/list/item_host_view.h"
#include "gui/list/item_track.h"

#include <cstdint>

namespace vellum::gui {

class ListView : public ItemHostView {
public:
    using ItemHostView::ItemHostView;

    void Paint(Canvas& canvas, const Rect& clip) override;
    // The item view, filled for the item under the point; none off the items.
    View* HitTest(int32_t x, int32_t y) override;
    // Brings "topPos" back to 0 when every item fits on the page.
    void Refresh() override;

    // The index of the item at (x, y), -1 when there is none.
    int32_t Point2Pos(int32_t x, int32_t y);
    // The number of items that fit from "topPos".
    int32_t PageSize();

protected:
    // The items along the list's axis as they lie now.
    ItemTrack Track();
    // The item's rectangle: its span on the axis across the content.
    static Rect ItemRect(const Rect& content, Span span, bool horizontal);
    // Fills the item view for item i (the script's "SetItem") and places it.
    void PrepareItem(int32_t index, const Rect& r);
    // Prepares and repaints item i when it shows in the content rectangle.
    void RepaintItem(int32_t index);
    // The largest "topPos" that still shows a full page.
    int32_t LastTop();
    // Stores a new "topPos" (held between 0 and LastTop), evaluates
    // "OnTopPosChange" and repaints; false when the top stays where it was.
    bool ScrollTopTo(int32_t top);
    bool Horizontal();

private:
    // "pgSize" when a number, else "listSize", else 0 (lists without "GetItemSize").
    int32_t UniformPage();
    bool HasItemSizes();
};

} // namespace vellum::gui
