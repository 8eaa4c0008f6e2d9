// The native half of a view. A script describes a view as a table deriving
// from a class table (TText, TRow, ...); when the form is shown, the class's
// Create makes one View and stores it in the table's "pObject". The view
// owns the geometry (pixels of the form's client area), draws, hit-tests,
// takes focus and runs its timer; every property is read from the table at
// the moment it is needed, so nothing here caches what the script may change.
//
// The virtual operations keep the handheld's slot order; classes override
// the ones their families change.
#pragma once

#include "core/gc_object.h"
#include "core/table_object.h"
#include "platform/draw/canvas.h"
#include "platform/draw/geometry.h"
#include "platform/window/cursor.h"
#include "platform/window/native_window.h"
#include "platform/window/view_timer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

using platform::Canvas;
using platform::Rect;

class Form;

class View : public GcObject {
public:
    explicit View(Interpreter& ip);
    ~View() override;

    // 1: keeps the table, the parent and the form alive while the view is.
    void Mark(Collector& collector) override;
    // 2: frees what the view holds of the platform (windows, pictures).
    virtual void Release() {}
    // 3: kills the timer.
    virtual void Stop();
    // 4
    virtual void Attach(View* parent, Form* form, TableObject* table);
    // 5: remembers the window the view draws into.
    virtual void Arrange(platform::NativeWindow* hostWindow);
    // 6: the rectangle less the style's margins.
    virtual Rect GetContentRect();
    // 7
    virtual void SetRect(const Rect& r) { rect = r; }
    // 8: Draw when visible and the rectangle meets the clip.
    virtual void Paint(Canvas& canvas, const Rect& clip);
    // 9
    virtual void Draw(Canvas&, const Rect&) {}
    // 10
    virtual View* HitTest(int32_t x, int32_t y);
    // 11: compares ToString of "id", case-sensitively.
    virtual View* FindById(std::u16string_view id);
    // 12
    virtual View* FindByWindow(const platform::NativeWindow* w);
    // 13
    virtual void Refresh() {}
    // 14: the rectangle, one pixel wider to the right and bottom.
    virtual void Invalidate();
    // 15, 16: natural size in pixels, margins included; 0 when the view has none.
    virtual int32_t MeasureHeight() { return 0; }
    virtual int32_t MeasureWidth() { return 0; }
    // 17, 18: "GetAutoHeight" / "GetAutoWidth" when they give a number, else the measure.
    virtual int32_t AutoHeightOf();
    virtual int32_t AutoWidthOf();
    // 19: fill, gradient and border over the content rectangle.
    virtual void DrawDecoration(Canvas& canvas);
    // 20 .. 28: the script's handlers (see view.cpp for the fallbacks).
    virtual void OnCreate();
    virtual bool OnClose();
    virtual bool OnClick();
    virtual void OnMouseDown(int32_t x, int32_t y);
    virtual void OnMouseUp(int32_t x, int32_t y);
    virtual void OnMouseMove(int32_t x, int32_t y);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual bool OnKeyDown(int32_t key);
    // 29, 30: no repaint of their own.
    virtual void Show() { visible = true; }
    virtual void Hide() { visible = false; }
    // 31
    virtual bool IsGroup() const { return false; }

    // The focus algorithm: the previous view loses focus, this one gains it.
    void SetFocus();
    // Whether this is the form's focused view and its window has the focus.
    bool HasFocus() const;
    // Starts (replacing any running timer) or kills the timer whose ticks
    // evaluate "OnTimer".
    void SetTimer(uint32_t ms, bool precise);
    void KillTimer();

    // The form's resolution, 96 before the view belongs to a form.
    int32_t DpiX() const;
    int32_t DpiY() const;
    // Device-independent units (1/96 inch) to pixels and back, truncated.
    int32_t DipToPxX(int32_t dip) const;
    int32_t DipToPxY(int32_t dip) const;
    int32_t PxToDipX(int32_t px) const;
    int32_t PxToDipY(int32_t px) const;

    Interpreter& ip;
    TableObject* table = nullptr;
    platform::NativeWindow* window = nullptr;
    View* parent = nullptr;
    Form* form = nullptr;
    Rect rect;
    std::unique_ptr<platform::ViewTimer> timer;
    // Set while a cursor of this view's SetCursor is in force.
    std::optional<platform::CursorState> savedCursor;
    bool pressed = false;
    bool visible = true;

private:
    // Evaluates "OnTimer" with the table rooted, which keeps this view
    // alive while the script runs, even if it drops the view meanwhile.
    void TimerTick();
    // Calls the handler with a point table {x, y} in DIP; false when the
    // table has no such field.
    bool CallWithPoint(std::u16string_view handler, int32_t x, int32_t y);
};

} // namespace vellum::gui
