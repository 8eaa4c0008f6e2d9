// The window of a form, with the handheld's shell inside it: a title strip
// with the title and the done button at the top, the form's client area,
// the soft-key menu bar at the bottom and the input panel above the bar.
// As on the device, where they are separate shell windows, the strips lie
// outside the client area: client coordinates start at its top left, and
// the views draw there. A Today item is a plain child of the Today screen's
// window, without the strips.
//
// The window reports what happens to it through a FormWindowHandler, in
// client pixels and the handheld's virtual keys; nothing of Qt shows here.
#pragma once

#include "platform/draw/canvas.h"
#include "platform/draw/geometry.h"
#include "platform/window/menu_layout.h"
#include "platform/window/native_window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vellum::platform {

class ShellWidget;
class TodayHost;

// The commands of the done button: OK and the cancel form (X).
inline constexpr int32_t kCommandOk = 1;
inline constexpr int32_t kCommandCancel = 2;

enum class DoneButton { Hidden, Ok, Cancel };

// How the next paint draws: into an image first (the paint rectangle
// filled white) or straight onto the window; transparent sets the
// painter's background mode for direct painting.
struct PaintMode {
    bool doubleBuffered = true;
    bool transparent = false;
};

// The Today screen's record of an item: the height it gives the item.
struct TodayItemRecord {
    int32_t cyp = 0;
};

class FormWindowHandler {
public:
    virtual PaintMode PaintModeNow() { return {}; }
    virtual void Paint(Canvas&, const Rect& /*clip*/) {}
    // Pointer positions in client pixels.
    virtual void MouseDown(Point) {}
    virtual void MouseUp(Point) {}
    virtual void MouseMove(Point) {}
    // The mouse wheel turned by whole lines over the point: down > 0 scrolls
    // towards the end, across > 0 to the right.
    virtual void Wheel(Point, int32_t /*across*/, int32_t /*down*/) {}
    virtual void KeyDown(int32_t /*virtualKey*/) {}
    // The user asked to close (the window's close button, Alt+F4).
    virtual void CloseRequested() {}
    // The host ends the form without asking (after --screenshot).
    virtual void EndRequested() {}
    // The window is gone; no further calls follow.
    virtual void Destroyed() {}
    virtual void Resized() {}
    virtual void Activated(bool /*active*/) {}
    // The input panel went up or down.
    virtual void InputPanelChanged() {}
    // A menu command, or the done button's kCommandOk / kCommandCancel.
    virtual void Command(int32_t /*id*/) {}
    // A pop-up of the soft-key bar is about to open.
    virtual void MenuAboutToShow() {}
    // The keyboard focus left the client area for a native control.
    virtual void FocusMovedTo(NativeWindow* /*control*/) {}
    // The Today screen asks whether the item wants another height (it then
    // updates record and answers true).
    virtual bool TodayRefreshQuery(TodayItemRecord* /*record*/) { return false; }

protected:
    ~FormWindowHandler() = default;
};

struct FormWindowOptions {
    std::u16string title;
    // The window it stays above; none for a form without owner.
    class FormWindow* owner = nullptr;
    // A Today item of this Today screen, height pixels tall.
    TodayHost* todayParent = nullptr;
    int32_t todayHeight = 0;
};

// As a NativeWindow it is the client area: Invalidate takes client
// coordinates, focus is the client area's.
class FormWindow final : public NativeWindow {
public:
    // None when no window can be made (no display: a console run).
    static std::unique_ptr<FormWindow> Create(FormWindowHandler& handler, const FormWindowOptions& options);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void Invalidate(const Rect& r) override;
    void TakeFocus() override;
    bool HasFocus() const override;

    // False once destroyed; every operation then does nothing.
    bool Alive() const;
    Rect ClientRect() const;
    // The client height the input panel leaves free (the device's visible
    // desktop less the menu bar); 0 without a menu bar.
    int32_t AvailableHeight() const;

    void SetTitle(std::u16string_view title);
    void SetDoneButton(DoneButton kind);
    void ShowInputPanel(bool up);
    void ShowInputPanelButton(bool shown);
    void InstallMenuBar(const MenuLayout& menu);
    bool HasMenuBar() const;
    void SetMenuItemChecked(int32_t id, bool checked);
    void SetMenuItemEnabled(int32_t id, bool enabled);
    void SetMenuItemText(int32_t id, std::u16string_view text);

    void Show();
    void BringToForeground();
    // A modal run: the owner is disabled and this window enabled; restoring
    // enables the owner again and brings it forward.
    void DisableOwner();
    void RestoreOwner();
    // Destroys the window (Destroyed follows at once); safe inside its own events.
    void Destroy();

    struct Shell;
    // The platform layer's own way to the window's widgets (shell_widget.h).
    friend ShellWidget* ShellWidgetOf(const FormWindow& window);

private:
    explicit FormWindow(std::unique_ptr<Shell> shell);
    std::unique_ptr<Shell> shell;
};

} // namespace vellum::platform
