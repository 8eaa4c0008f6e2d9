#include "gui/view/view.h"

#include "core/collector.h"
#include "core/string_object.h"
#include "gui/form/form.h"
#include "gui/style/style.h"
#include "gui/view/view_binding.h"
#include "vm/interpreter.h"

namespace vellum::gui {

View::View(Interpreter& ip_) : ip(ip_) {}

// Only platform resources are let go here: when the interpreter ends, the
// collector destroys objects in any order, so the table may be gone already.
View::~View() = default;

void View::Mark(Collector& collector)
{
    collector.MarkObject(table);
    collector.MarkObject(parent);
    collector.MarkObject(form);
}

void View::Stop() { KillTimer(); }

void View::Attach(View* parent_, Form* form_, TableObject* table_)
{
    parent = parent_;
    form = form_;
    table = table_;
}

void View::Arrange(platform::NativeWindow* hostWindow) { window = hostWindow; }

Rect View::GetContentRect()
{
    const Margins m = StyleMargins(*this);
    return {rect.left + m.left, rect.top + m.top, rect.right - m.right, rect.bottom - m.bottom};
}

void View::Paint(Canvas& canvas, const Rect& clip)
{
    if (visible && rect.Intersects(clip)) Draw(canvas, clip);
}

View* View::HitTest(int32_t x, int32_t y) { return rect.Contains(x, y) ? this : nullptr; }

View* View::FindById(std::u16string_view id)
{
    if (table == nullptr) return nullptr;
    ValueRoot keep(ip, Value::Table(table));
    const Value value = ip.TableGet(table, u"id");
    return ip.ToString(value)->View() == id ? this : nullptr;
}

View* View::FindByWindow(const platform::NativeWindow* w) { return w != nullptr && window == w ? this : nullptr; }

void View::Invalidate()
{
    if (window != nullptr) window->Invalidate({rect.left, rect.top, rect.right + 1, rect.bottom + 1});
}

namespace {

// A number from a measuring field or method: the truncated number, else nothing.
std::optional<int32_t> NumberProperty(Interpreter& ip, TableObject* table, std::u16string_view name)
{
    if (table == nullptr) return std::nullopt;
    ValueRoot keep(ip, Value::Table(table));
    int32_t n;
    if (Interpreter::ValueToInt(ip.GetProperty(table, name), n)) return n;
    return std::nullopt;
}

} // namespace

int32_t View::AutoHeightOf()
{
    if (const auto n = NumberProperty(ip, table, u"GetAutoHeight")) return *n;
    return MeasureHeight();
}

int32_t View::AutoWidthOf()
{
    if (const auto n = NumberProperty(ip, table, u"GetAutoWidth")) return *n;
    return MeasureWidth();
}

// Handlers run script code, which may drop the last reference to this
// view's table: it is rooted for the call so that the view outlives it.

void View::OnCreate()
{
    if (table == nullptr) return;
    ValueRoot keep(ip, Value::Table(table));
    ip.GetProperty(table, u"OnCreate");
}

bool View::OnClose()
{
    if (table == nullptr) return true;
    ValueRoot keep(ip, Value::Table(table));
    const Value answer = ip.GetProperty(table, u"OnClose");
    return answer.IsNull() || answer.IsTrue();
}

bool View::OnClick()
{
    if (table == nullptr) return false;
    ValueRoot keep(ip, Value::Table(table));
    if (!ip.TableGet(table, u"OnClick").IsNull()) {
        ip.CallMethod(table, u"OnClick");
        return true;
    }
    return parent != nullptr && parent->OnClick();
}

bool View::CallWithPoint(std::u16string_view handler, int32_t x, int32_t y)
{
    if (table == nullptr || ip.TableGet(table, handler).IsNull()) return false;
    ValueRoot keep(ip, Value::Table(table));
    TableObject* point = NewPointTable(ip, PxToDipX(x), PxToDipY(y));
    ValueRoot keepPoint(ip, Value::Table(point));
    ip.CallMethod(table, handler, {Value::Table(point)});
    return true;
}

void View::OnMouseDown(int32_t x, int32_t y)
{
    pressed = true;
    if (!CallWithPoint(u"OnMouseDown", x, y) && parent != nullptr) parent->OnMouseDown(x, y);
}

void View::OnMouseUp(int32_t x, int32_t y)
{
    pressed = false;
    if (!CallWithPoint(u"OnMouseUp", x, y) && parent != nullptr) parent->OnMouseUp(x, y);
}

void View::OnMouseMove(int32_t x, int32_t y)
{
    if (!CallWithPoint(u"OnMouseMove", x, y) && parent != nullptr) parent->OnMouseMove(x, y);
}

void View::OnSetFocus()
{
    if (table == nullptr) return;
    ValueRoot keep(ip, Value::Table(table));
    ip.GetProperty(table, u"OnSetFocus");
}

void View::OnKillFocus()
{
    if (table == nullptr) return;
    ValueRoot keep(ip, Value::Table(table));
    ip.GetProperty(table, u"OnKillFocus");
}

bool View::OnKeyDown(int32_t key)
{
    if (table == nullptr) return false;
    if (!ip.TableGet(table, u"OnKeyDown").IsNull()) {
        ValueRoot keep(ip, Value::Table(table));
        ip.CallMethod(table, u"OnKeyDown", {Value::Number(key)});
        return true;
    }
    return parent != nullptr && parent->OnKeyDown(key);
}

bool View::HasFocus() const
{
    if (form == nullptr || form->focus != this) return false;
    return window == nullptr || window->HasFocus();
}

void View::SetFocus()
{
    if (form == nullptr || HasFocus()) return;
    ValueRoot keep(ip, Value::Table(table));
    // The form's Mark keeps the previous view alive while its handler runs.
    if (form->focus != nullptr) form->focus->OnKillFocus();
    if (window != nullptr) window->TakeFocus();
    form->focus = this;
    OnSetFocus();
}

void View::SetTimer(uint32_t ms, bool precise)
{
    KillTimer();
    // The timer dies with the view, so `this` stays valid for every tick.
    timer = platform::ViewTimer::Start(ms, precise, [this] { TimerTick(); });
}

void View::TimerTick()
{
    if (table == nullptr) return;
    ValueRoot keep(ip, Value::Table(table));
    ip.GetProperty(table, u"OnTimer");
}

void View::KillTimer() { timer.reset(); }

int32_t View::DpiX() const { return form != nullptr ? form->dpiX : 96; }
int32_t View::DpiY() const { return form != nullptr ? form->dpiY : 96; }

namespace {

int32_t Scale(int32_t value, int32_t numerator, int32_t denominator)
{
    if (denominator <= 0) return value;
    return static_cast<int32_t>(static_cast<int64_t>(value) * numerator / denominator);
}

} // namespace

int32_t View::DipToPxX(int32_t dip) const { return Scale(dip, DpiX(), 96); }
int32_t View::DipToPxY(int32_t dip) const { return Scale(dip, DpiY(), 96); }
int32_t View::PxToDipX(int32_t px) const { return Scale(px, 96, DpiX()); }
int32_t View::PxToDipY(int32_t px) const { return Scale(px, 96, DpiY()); }

} // namespace vellum::gui
