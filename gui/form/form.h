// The native form: the window of a TForm or TTodayForm and the state the
// views share through it (resolution, focus, pointer capture). It turns the
// window's events into view operations: painting the root view, pointer
// input with capture from button-down to button-up, keys for the focused
// view, closing with the consent of the form and its views, menus, the
// input panel's share of the height and the Today screen's height query.
#pragma once

#include "gui/form/window.h"
#include "gui/view/refresh_cause.h"
#include "platform/window/native_window.h"

#include <cstdint>
#include <string_view>

namespace vellum::gui {

class View;

class Form : public Window {
public:
    Form(Interpreter& ip, TableObject* table, bool isToday = false);

    // Keeps the table, the menu, the root and the views the form points at alive.
    void Mark(Collector& collector) override;

    // Shows a TForm: builds the window and the tree, runs OnCreate, then the
    // loop (modal when "modal" is true); returns when the window is gone.
    void ShowForm(Window* owner);
    // Shows a TTodayForm as an item of the Today screen; returns at once.
    void ShowTodayItem(platform::TodayHost& host);
    // The closing algorithm: the form's "OnClose", then the views'.
    void Close();
    // Places the root on the client area (less what the input panel
    // covers), lays the tree out again and repaints. A relayout for the
    // desktop keeps what the user typed into edits and combo boxes.
    void Relayout(RefreshFor cause = RefreshFor::Script);
    // Builds and installs a menu array; nothing before the window exists.
    void SetMenu(TableObject* menuTable);
    // The view whose "id" is id, else the root; none without a root.
    View* FindView(std::u16string_view id);

    // The focus moves: the previous view's "OnKillFocus", then the new one's
    // "OnSetFocus"; takeWindowFocus also gives the view's window the focus.
    void MoveFocusTo(View* view, bool takeWindowFocus);
    // Builds the tree of rootTable at the given resolution and lays it out
    // on r without a window, for driving a tree directly (measuring, tests
    // and benchmarks).
    View* BuildWithoutWindow(TableObject* rootTable, const platform::Rect& r, int32_t dpiX, int32_t dpiY);

    View* Root() const { return root; }
    View* Focus() const { return focus; }
    int32_t DpiX() const { return dpiX; }
    int32_t DpiY() const { return dpiY; }

    // The window's events.
    platform::PaintMode PaintModeNow() override;
    void Paint(platform::Canvas& canvas, const platform::Rect& clip) override;
    void MouseDown(platform::Point p) override;
    void MouseUp(platform::Point p) override;
    void MouseMove(platform::Point p) override;
    // Offered to the view under the pointer, then to the views it lies in.
    void Wheel(platform::Point p, int32_t across, int32_t down) override;
    void KeyDown(int32_t key) override;
    void CloseRequested() override { Close(); }
    void EndRequested() override;
    void Destroyed() override;
    void Resized() override;
    void Activated(bool active) override;
    void InputPanelChanged() override;
    void Command(int32_t id) override;
    void MenuAboutToShow() override;
    void FocusMovedTo(platform::NativeWindow* control) override;
    bool TodayRefreshQuery(platform::TodayItemRecord* record) override;

private:
    View* root = nullptr;
    bool captureActive = false;
    View* captured = nullptr;
    View* focus = nullptr;
    int32_t dpiX = 96;
    int32_t dpiY = 96;
    const bool isToday;
    // The client height left by the input panel; -1 until computed again.
    int32_t availableHeight = -1;

    // The "view" property, or the errFormNoView text view in its place.
    TableObject* RootTable();
    // Builds the tree and places it on the new window.
    void BuildRoot(TableObject* rootTable);
    // After the loop: destroys the window when an error ended the loop.
    void EndAfterError();
    // The Today item's height in pixels: "height" in DIP, 50 when not a number.
    int32_t TodayHeight();
    void ReadDpi();
};

} // namespace vellum::gui
