#include "gui/view/view.h"

#include "engine/core/collector.h"
#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "gui/style/style.h"
#include "gui/view/view_binding.h"

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
    // A view belongs to one form's window at a time. The window belongs to
    // the form, which may be collected once the view has moved on, so the
    // view keeps none of its old form's until the new form arranges it.
    if (form_ != form) LeaveWindow();
    parent = parent_;
    form = form_;
    table = table_;
}

void View::Detach()
{
    parent = nullptr;
    form = nullptr;
    window = nullptr;
}

bool View::Placed() const { return form != nullptr && form->LiveWindow() != nullptr; }

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
    return ip.ToString(value)->Equals(id) ? this : nullptr;
}

View* View::FindByWindow(const platform::NativeWindow* w) { return w != nullptr && window == w ? this : nullptr; }

void View::Invalidate()
{
    if (window != nullptr) window->Invalidate({rect.left, rect.top, rect.right + 1, rect.bottom + 1});
}

std::optional<int32_t> View::NumberHandler(std::u16string_view name)
{
    int32_t n;
    const std::optional<Value> answer = CallHandler(name);
    if (answer && Interpreter::ValueToInt(*answer, n)) return n;
    return std::nullopt;
}

int32_t View::AutoHeightOf()
{
    if (const auto n = NumberHandler(u"GetAutoHeight")) return *n;
    return MeasureHeight();
}

int32_t View::AutoWidthOf()
{
    if (const auto n = NumberHandler(u"GetAutoWidth")) return *n;
    return MeasureWidth();
}

std::optional<Value> View::CallHandler(std::u16string_view name, NonFunction rule, const HandlerArgument& argument)
{
    return CallScriptHandler(ip, table, name, rule, argument);
}

void View::OnCreate() { CallHandler(u"OnCreate"); }

bool View::OnClose()
{
    const std::optional<Value> answer = CallHandler(u"OnClose");
    return !answer || answer->IsNull() || answer->IsTrue();
}

// Clicks, keys and the pointer go to the nearest view up the tree that
// handles them.

bool View::OnClick()
{
    if (CallHandler(u"OnClick", NonFunction::isError)) return true;
    return parent != nullptr && parent->OnClick();
}

void View::BubblePointer(std::u16string_view name, PointerOperation next, int32_t x, int32_t y)
{
    const auto point = [&] { return Value::Table(NewPointTable(ip, PxToDipX(x), PxToDipY(y))); };
    if (!CallHandler(name, NonFunction::isError, point) && parent != nullptr) (parent->*next)(x, y);
}

void View::OnMouseDown(int32_t x, int32_t y)
{
    pressed = true;
    BubblePointer(u"OnMouseDown", &View::OnMouseDown, x, y);
}

void View::OnMouseUp(int32_t x, int32_t y)
{
    pressed = false;
    BubblePointer(u"OnMouseUp", &View::OnMouseUp, x, y);
}

void View::OnMouseMove(int32_t x, int32_t y) { BubblePointer(u"OnMouseMove", &View::OnMouseMove, x, y); }

void View::OnSetFocus() { CallHandler(u"OnSetFocus"); }

void View::OnKillFocus() { CallHandler(u"OnKillFocus"); }

bool View::OnKeyDown(int32_t key)
{
    if (CallHandler(u"OnKeyDown", NonFunction::isError, [key] { return Value::Number(key); })) return true;
    return parent != nullptr && parent->OnKeyDown(key);
}

bool View::TakesKeys() { return table != nullptr && !ip.TableGet(table, u"OnKeyDown").IsNull(); }

void View::FindKeyTakers(std::vector<View*>& found, size_t enough)
{
    if (visible && found.size() < enough && TakesKeys()) found.push_back(this);
}

bool View::Within(const View& ancestor) const
{
    for (const View* v = this; v != nullptr; v = v->parent) {
        if (v == &ancestor) return true;
    }
    return false;
}

bool View::HasFocus() const
{
    if (form == nullptr || form->Focus() != this) return false;
    return window == nullptr || window->HasFocus();
}

void View::SetFocus()
{
    if (form == nullptr || HasFocus()) return;
    ValueRoot keep(ip, Value::Table(table));
    // The form's Mark keeps the previous view alive while its handler runs.
    form->MoveFocusTo(this, /*takeWindowFocus=*/true);
}

void View::SetTimer(uint32_t ms, bool precise)
{
    KillTimer();
    // The timer dies with the view, so `this` stays valid for every tick.
    timer = platform::ViewTimer::Start(ms, precise, [this] { TimerTick(); });
}

void View::TimerTick() { CallHandler(u"OnTimer"); }

void View::KillTimer() { timer.reset(); }

void View::ReplaceCursor(platform::CursorShape shape)
{
    if (!savedCursor) savedCursor = platform::ReplaceCursor(shape);
}

void View::RestoreCursor()
{
    platform::RestoreCursor(savedCursor.value_or(platform::CursorState{}));
    savedCursor.reset();
}

int32_t View::DpiX() const { return form != nullptr ? form->DpiX() : 96; }
int32_t View::DpiY() const { return form != nullptr ? form->DpiY() : 96; }

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
