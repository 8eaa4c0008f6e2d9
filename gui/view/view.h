// The native half of a view. A script describes a view as a table deriving
// from a class table (TText, TRow, ...); when the form is shown, the class's
// Create makes one View and stores it in the table's "pObject". The view
// owns the geometry (pixels of the form's client area), draws, hit-tests,
// takes focus and runs its timer; every property is read from the table at
// the moment it is needed, so nothing here caches what the script may change.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/table_object.h"
#include "gui/view/view_binding.h"
#include "platform/draw/canvas.h"
#include "platform/draw/geometry.h"
#include "platform/window/cursor.h"
#include "platform/window/native_window.h"
#include "platform/window/view_timer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

using platform::Canvas;
using platform::Rect;

class Form;

// The virtual operations follow the order of the handheld's view slots;
// classes override the ones their families change.
class View : public GcObject {
public:
    explicit View(Interpreter& ip);
    ~View() override;

    // Keeps the table, the parent and the form alive while the view is.
    void Mark(Collector& collector) override;
    // Frees what the view holds of the platform (windows, pictures).
    virtual void Release() {}
    // Kills the timer.
    virtual void Stop();
    // Attached to another form, the view first leaves the window it drew in.
    virtual void Attach(View* parent, Form* form, TableObject* table);
    // Ties a new view to its table before it is placed, so that no view a
    // script can reach lacks one.
    void Bind(TableObject* table_) { table = table_; }
    // Takes the view (and the views inside it) out of its tree: no parent,
    // form or window any more.
    virtual void Detach();
    // Whether the view belongs to the tree of a form that is shown now.
    bool Placed() const;
    // Remembers the window the view draws into.
    virtual void Arrange(platform::NativeWindow* hostWindow);
    // Draws in no window until arranged again: the view and the views
    // inside it forget the window, a control view's control goes.
    virtual void LeaveWindow() { window = nullptr; }
    // The rectangle less the style's margins.
    virtual Rect GetContentRect();
    virtual void SetRect(const Rect& r) { rect = r; }
    // Draw when visible and the rectangle meets the clip.
    virtual void Paint(Canvas& canvas, const Rect& clip);
    virtual void Draw(Canvas&, const Rect&) {}
    virtual View* HitTest(int32_t x, int32_t y);
    // Compares ToString of "id", case-sensitively.
    virtual View* FindById(std::u16string_view id);
    virtual View* FindByWindow(const platform::NativeWindow* w);
    virtual void Refresh() {}
    // The rectangle, one pixel wider to the right and bottom.
    virtual void Invalidate();
    // Natural size in pixels, margins included; 0 when the view has none.
    virtual int32_t MeasureHeight() { return 0; }
    virtual int32_t MeasureWidth() { return 0; }
    // "GetAutoHeight" / "GetAutoWidth" when they give a number, else the measure.
    virtual int32_t AutoHeightOf();
    virtual int32_t AutoWidthOf();
    // Fill, gradient and border over the content rectangle.
    virtual void DrawDecoration(Canvas& canvas);
    // The script's handlers (see view.cpp for the fallbacks).
    virtual void OnCreate();
    virtual bool OnClose();
    virtual bool OnClick();
    virtual void OnMouseDown(int32_t x, int32_t y);
    virtual void OnMouseUp(int32_t x, int32_t y);
    virtual void OnMouseMove(int32_t x, int32_t y);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual bool OnKeyDown(int32_t key);
    // No repaint of their own.
    virtual void Show() { visible = true; }
    virtual void Hide() { visible = false; }
    virtual bool IsGroup() const { return false; }

    // The handler path of every view: CallScriptHandler on the view's
    // table. Rooting the table keeps the view alive even if the script
    // drops it while the handler runs.
    std::optional<Value> CallHandler(std::u16string_view name, NonFunction rule = NonFunction::isAnswer,
                                     const HandlerArgument& argument = {});

    // Whether the view does something with keys: a view with an "OnKeyDown"
    // handler; the scrolling lists and views and the native controls too.
    virtual bool TakesKeys();
    // Adds the shown views from this one down that take keys to found, a
    // view that takes keys standing for the views inside it; stops once
    // found holds `enough`.
    virtual void FindKeyTakers(std::vector<View*>& found, size_t enough);
    // Whether ancestor is this view or lies on its parent chain.
    bool Within(const View& ancestor) const;
    // The focus algorithm: the previous view loses focus, this one gains it.
    void SetFocus();
    // Whether this is the form's focused view and its window has the focus.
    bool HasFocus() const;
    // Starts (replacing any running timer) or kills the timer whose ticks
    // evaluate "OnTimer".
    void SetTimer(uint32_t ms, bool precise);
    void KillTimer();
    bool TimerRunning() const { return timer != nullptr; }
    // Puts up a system cursor unless one of this view's is up already;
    // RestoreCursor puts back what the first one replaced.
    void ReplaceCursor(platform::CursorShape shape);
    void RestoreCursor();

    // The form's resolution, 96 before the view belongs to a form.
    int32_t DpiX() const;
    int32_t DpiY() const;
    // Device-independent units (1/96 inch) to pixels and back, truncated.
    int32_t DipToPxX(int32_t dip) const;
    int32_t DipToPxY(int32_t dip) const;
    int32_t PxToDipX(int32_t px) const;
    int32_t PxToDipY(int32_t px) const;

    TableObject* Table() const { return table; }
    View* Parent() const { return parent; }
    Form* OwnerForm() const { return form; }
    platform::NativeWindow* HostWindow() const { return window; }
    const Rect& Bounds() const { return rect; }
    bool Visible() const { return visible; }
    bool Pressed() const { return pressed; }

    Interpreter& ip;

protected:
    // What the view families lay out and draw from; other code reads it
    // through the accessors above and changes it only through operations.
    TableObject* table = nullptr;
    platform::NativeWindow* window = nullptr;
    View* parent = nullptr;
    Form* form = nullptr;
    Rect rect;
    bool visible = true;

private:
    // A measuring field or method: the truncated number it gives, else nothing.
    std::optional<int32_t> NumberHandler(std::u16string_view name);
    // Evaluates "OnTimer"; CallHandler keeps the view alive for the tick.
    void TimerTick();
    // The mouse handlers: the view's own, else the parent's operation next.
    using PointerOperation = void (View::*)(int32_t, int32_t);
    void BubblePointer(std::u16string_view name, PointerOperation next, int32_t x, int32_t y);

    std::unique_ptr<platform::ViewTimer> timer;
    // Set while a cursor of this view's SetCursor is in force.
    std::optional<platform::CursorState> savedCursor;
    bool pressed = false;
};

} // namespace vellum::gui
