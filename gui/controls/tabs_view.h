// TTabs: a TSwitch whose pages are chosen on a tab bar along the bottom of
// its content rectangle. Each child's "tab" labels its tab; the pages lie
// in the display area above the bar. A tap on a tab switches to its page
// (OnSwitch follows); AddItem, DeleteItem and SwitchView act on the tabs too.
#pragma once

#include "gui/layout/switch_view.h"
#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"

#include <memory>

namespace vellum::gui {

class TabsView final : public SwitchView, public platform::ControlHandler {
public:
    explicit TabsView(Interpreter& ip);

    void Release() override;
    // Makes the bar with a tab for every child, then lays the pages out in
    // the display area and switches to "curPos".
    void Arrange(platform::NativeWindow* hostWindow) override;
    // Places the bar, relabels the current tab and lays the pages out.
    void Refresh() override;
    void Show() override;
    void Hide() override;
    View* FindByWindow(const platform::NativeWindow* w) override;
    // The tab bar takes the focus and the arrow keys.
    bool TakesKeys() override { return true; }
    // Removes the page and its tab.
    void RemoveChildAt(int32_t index) override;
    // Stores "curPos" and selects its tab.
    void SetCurPos(int32_t n) override;
    // Appends a page with its tab and switches to it; its index.
    int32_t AddItem(TableObject* child);

    // The user picked a tab: the page follows.
    void TabChanged() override;

    // The tab bar; none before the view is arranged in a form's window.
    platform::NativeControl* Bar() const { return bar.get(); }

protected:
    // The display area: the content rectangle above the bar.
    Rect ChildArea() override;

private:
    // The label of a child: its "tab" as text.
    std::u16string TabLabel(TableObject* child);

    std::unique_ptr<platform::NativeControl> bar;
};

} // namespace vellum::gui
