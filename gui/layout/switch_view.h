// TSwitch: one child at a time, the one at index "curPos"; the others stay
// laid out on the same rectangle, hidden. TTabs builds on it.
#pragma once

#include "gui/layout/group_view.h"

namespace vellum::gui {

class SwitchView : public GroupView {
public:
    using GroupView::GroupView;

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
    // others, stores "curPos" and evaluates "OnSwitch". Nothing is repainted.
    void SwitchTo(int32_t index);

protected:
    // The children are placed on ChildArea: the content rectangle here;
    // TTabs gives its tab control's display area.
    void Layout(bool arrange) override;

private:
    // The view of the child at "curPos", none when there is no such child.
    View* Current();
    // Shows the child at index if this switch is shown and hides the others.
    void ShowOnly(int32_t index);
    // Refreshing waits for the first arrangement, which makes the window known.
    bool arranged = false;
};

// The script methods TSwitch and TTabs share: DeleteItem(index) and SwitchView(index).
uint32_t DeleteItemMethod(Interpreter& ip);
uint32_t SwitchViewMethod(Interpreter& ip);

} // namespace vellum::gui
