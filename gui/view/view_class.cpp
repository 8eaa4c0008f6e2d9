// The common view methods every class table carries. `this` is the view
// table; a table without a native view makes each method do nothing and
// give null, except where said.
#include "gui/view/view_class.h"

#include "engine/core/string_object.h"
#include "gui/form/form.h"
#include "gui/view/view.h"
#include "gui/view/view_binding.h"

namespace vellum::gui {

View* ThisView(Interpreter& ip)
{
    const Value& self = ip.ArgValue(0);
    return self.IsTable() ? ViewOfTable(ip, self.table) : nullptr;
}

bool ThisHasPlacedView(Interpreter& ip)
{
    const Value& self = ip.ArgValue(0);
    const View* view = ThisView(ip);
    return view != nullptr && view->Table() == self.table && view->Placed();
}

void AttachNewView(Interpreter& ip, View* view)
{
    const Value& self = ip.ArgValue(0);
    if (self.IsTable()) view->Bind(self.table);
    AttachNativeToThis(ip, view);
}

namespace {

uint32_t PushTable(Interpreter& ip, TableObject* table)
{
    if (table == nullptr) return 0;
    ip.PushValue(Value::Table(table));
    return 1;
}

// A method without arguments or result that acts on this view, with its
// table rooted, since the action may run script code.
template <class Action>
uint32_t OnThisView(Interpreter& ip, Action action)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(view->Table()));
    action(*view);
    return 0;
}

uint32_t Redraw(Interpreter& ip)
{
    return OnThisView(ip, [](View& view) {
        view.Refresh();
        view.Invalidate();
    });
}

uint32_t Show(Interpreter& ip)
{
    return OnThisView(ip, [](View& view) { view.Show(); });
}

uint32_t Hide(Interpreter& ip)
{
    return OnThisView(ip, [](View& view) { view.Hide(); });
}

uint32_t GetView(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr || view->OwnerForm() == nullptr || view->OwnerForm()->Root() == nullptr) return 0;
    View* root = view->OwnerForm()->Root();
    const std::u16string id(ip.ArgText(1)->Utf16());
    ValueRoot keep(ip, Value::Table(root->Table()));
    View* found = root->FindById(id);
    return PushTable(ip, (found != nullptr ? found : root)->Table());
}

uint32_t Parent(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    return PushTable(ip, (view->Parent() != nullptr ? view->Parent() : view)->Table());
}

uint32_t FormOf(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr || view->OwnerForm() == nullptr) return 0;
    return PushTable(ip, view->OwnerForm()->table);
}

uint32_t GetRect(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(view->Table()));
    const Rect content = view->GetContentRect();
    const int32_t left = view->PxToDipX(content.left);
    const int32_t right = view->PxToDipX(content.right);
    const int32_t top = view->PxToDipY(content.top);
    const int32_t bottom = view->PxToDipY(content.bottom);
    TableObject* result = ip.NewTable();
    ip.TableSet(result, u"left", Value::Number(left));
    ip.TableSet(result, u"top", Value::Number(top));
    ip.TableSet(result, u"width", Value::Number(right - left + 1));
    ip.TableSet(result, u"height", Value::Number(bottom - top + 1));
    return PushTable(ip, result);
}

uint32_t AutoHeight(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(view->Table()));
    const int32_t height = view->MeasureHeight();
    if (ip.ErrorPending()) return 0;
    ip.PushNumber(height);
    return 1;
}

uint32_t AutoWidth(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(view->Table()));
    const int32_t width = view->MeasureWidth();
    if (ip.ErrorPending()) return 0;
    ip.PushNumber(width);
    return 1;
}

uint32_t SetFocus(Interpreter& ip)
{
    return OnThisView(ip, [](View& view) { view.SetFocus(); });
}

// Only the first SetCursor takes effect until PrevCursor puts back what it replaced.
uint32_t SetCursor(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    if (const auto shape = platform::CursorNamed(ip.ArgText(1)->Utf16())) view->ReplaceCursor(*shape);
    return 0;
}

uint32_t PrevCursor(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    view->RestoreCursor();
    return 0;
}

uint32_t SetTimer(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const double ms = ip.ArgNumber(1);
    if (ip.ErrorPending()) return 0;
    const bool precise = ip.ArgValue(2).IsTrue();
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    int32_t whole;
    Interpreter::ValueToInt(Value::Number(ms), whole);
    view->SetTimer(static_cast<uint32_t>(whole), precise);
    return 0;
}

uint32_t KillTimer(Interpreter& ip)
{
    return OnThisView(ip, [](View& view) { view.KillTimer(); });
}

// n truncated, then scaled by the view's resolution; n truncated without a view.
uint32_t DipToPx(Interpreter& ip, bool vertical)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const double n = ip.ArgNumber(1);
    if (ip.ErrorPending()) return 0;
    int32_t whole;
    Interpreter::ValueToInt(Value::Number(n), whole);
    View* view = ThisView(ip);
    if (view != nullptr) whole = vertical ? view->DipToPxY(whole) : view->DipToPxX(whole);
    ip.PushNumber(whole);
    return 1;
}

uint32_t Dip2PxX(Interpreter& ip) { return DipToPx(ip, false); }
uint32_t Dip2PxY(Interpreter& ip) { return DipToPx(ip, true); }

uint32_t Point2View(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* point = ip.ArgTable(1);
    if (point == nullptr) return 0;
    View* view = ThisView(ip);
    if (view == nullptr || view->OwnerForm() == nullptr || view->OwnerForm()->Root() == nullptr) return 0;
    int32_t x = 0;
    int32_t y = 0;
    PointOfTable(ip, point, x, y);
    View* root = view->OwnerForm()->Root();
    View* hit = root->HitTest(x, y);
    return PushTable(ip, (hit != nullptr ? hit : root)->Table());
}

uint32_t IsGroup(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    View* view = ThisView(ip);
    if (view == nullptr) return 0;
    ip.PushBool(view->IsGroup());
    return 1;
}

} // namespace

TableObject* RegisterViewClass(Interpreter& ip, std::u16string_view name, NativeFunction create)
{
    static constexpr ClassMethod kCommonMethods[] = {
        {u"Default", DeriveFromThis}, {u"Redraw", Redraw},         {u"Show", Show},
        {u"Hide", Hide},             {u"GetView", GetView},       {u"Parent", Parent},
        {u"Form", FormOf},           {u"GetRect", GetRect},       {u"AutoHeight", AutoHeight},
        {u"AutoWidth", AutoWidth},   {u"SetFocus", SetFocus},     {u"SetCursor", SetCursor},
        {u"PrevCursor", PrevCursor}, {u"SetTimer", SetTimer},     {u"KillTimer", KillTimer},
        {u"Dip2PxX", Dip2PxX},       {u"Dip2PxY", Dip2PxY},       {u"Point2View", Point2View},
        {u"IsGroup", IsGroup},
    };
    TableObject* classTable = DefineClass(ip, name, kCommonMethods);
    ip.SetMethod(classTable, u"Create", create);
    return classTable;
}

} // namespace vellum::gui
