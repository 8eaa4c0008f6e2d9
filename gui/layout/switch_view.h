// TSwitch: one child at a time, the one at index "curPos"; the others stay
// laid out on the same rectangle, hidden. TTabs builds on it.
//
// A page shown again gives the focus back to the view that had it last in
// that page; a page shown for the first time gives it to its one view that
// takes keys, when it has just one. So the keys reach a list on a page the
// user switched to by tapping a tab, which itself took the focus.
#pragma once

#include "gui/layout/group_view.h"

#include <vector>

namespace vellum::gui {

class SwitchView : public GroupView {
public:
    using GroupView::GroupView;

    // Also keeps the views the pages had the focus on alive.
    void Mark(Collector& collector) override;
    void Arrange(platform::NativeWindow* hostWindow) override;
    void Paint(Canvas& canvas, const Rect& clip) override;
    View* HitTest(int32_t x, int32_t y) override;
    // As large as the parent's content rectangle.
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;

    // Shows itself and the current child only.
    void Show() override;

    // "curPos" as a whole number, 0 when it is none.
    int32_t GetCurPos();
    // Stores "curPos"; TTabs also selects the tab.
    virtual void SetCurPos(int32_t n);
    // Shows the child at index (when the switch itself is shown), hides the
    // others, stores "curPos" and evaluates "OnSwitch", then moves the
    // focus into that page (see above) unless a view outside the switch
    // that takes keys holds it. Nothing is repainted.
    void SwitchTo(int32_t index);

    // The focus moved to view: every switch it lies in remembers it for the
    // page it lies on.
    static void FocusMovedTo(View& view);

protected:
    // The children are placed on ChildArea: the content rectangle here;
    // TTabs gives its tab control's display area.
    void Layout(bool arrange) override;

private:
    // The view of the child at "curPos", none when there is no such child.
    View* Current();
    // Shows the child at index if this switch is shown and hides the others.
    void ShowOnly(int32_t index);
    // Gives the focus to the page at index as SwitchTo says.
    void FocusPage(int32_t index);

    // Refreshing waits for the first arrangement, which makes the window known.
    bool arranged = false;
    // The view each page had the focus on last.
    struct PageFocus {
        View* page;
        View* view;
    };
    std::vector<PageFocus> pageFocus;
};

// The script methods TSwitch and TTabs share: DeleteItem(index) and SwitchView(index).
uint32_t DeleteItemMethod(Interpreter& ip);
uint32_t SwitchViewMethod(Interpreter& ip);

} // namespace vellum::gui
