// The script classes of forms: TForm, an application window whose Show
// runs until the window is gone, and TTodayForm, an item of the Today
// screen whose Show returns at once. Methods on a table without its Form
// do nothing and give null.
#include "engine/core/case_folding.h"
#include "engine/core/string_object.h"
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "gui/gui_library.h"
#include "gui/view/view.h"
#include "gui/view/view_class.h"
#include "platform/window/today_host.h"

#include <string>

namespace vellum::gui {

namespace {

Form* ThisForm(Interpreter& ip) { return ThisNative<Form>(ip); }

// A method without arguments or result acting on this form.
template <class Action>
uint32_t OnThisForm(Interpreter& ip, Action action)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (Form* form = ThisForm(ip)) action(*form);
    return 0;
}

// Makes the form object of this table and ties it to the table.
Form* NewForm(Interpreter& ip, bool isToday)
{
    Form* form = ip.Make<Form>(ip, ip.ArgValue(0).table, isToday);
    AttachNativeToThis(ip, form);
    return form;
}

uint32_t Show(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (!ip.ArgValue(0).IsTable()) return 0;
    Window* owner = NativeOf<Window>(ip, ip.ArgValue(1));
    ValueRoot keepOwner(ip, owner != nullptr ? Value::Pointer(owner) : Value::Null());
    NewForm(ip, false)->ShowForm(owner);
    return 0;
}

uint32_t Close(Interpreter& ip)
{
    return OnThisForm(ip, [](Form& form) { form.Close(); });
}

uint32_t GetView(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    const std::u16string id(ip.ArgText(1)->Utf16());
    View* found = form->FindView(id);
    if (found == nullptr || found->Table() == nullptr) return 0;
    ip.PushValue(Value::Table(found->Table()));
    return 1;
}

uint32_t SetTitle(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    const std::u16string title(ip.ArgText(1)->Utf16());
    if (platform::FormWindow* w = form->LiveWindow()) w->SetTitle(title);
    return 0;
}

uint32_t Redraw(Interpreter& ip)
{
    return OnThisForm(ip, [](Form& form) { form.Relayout(); });
}

uint32_t SetMenu(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* menu = ip.ArgTable(1);
    if (menu == nullptr) return 0;
    if (Form* form = ThisForm(ip)) form->SetMenu(menu);
    return 0;
}

uint32_t SetFocus(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr || form->Root() == nullptr) return 0;
    const std::u16string id(ip.ArgText(1)->Utf16());
    ValueRoot keep(ip, Value::Pointer(form));
    if (View* view = form->Root()->FindById(id)) view->SetFocus();
    return 0;
}

uint32_t SetForeground(Interpreter& ip)
{
    return OnThisForm(ip, [](Form& form) {
        if (platform::FormWindow* w = form.LiveWindow()) w->BringToForeground();
    });
}

uint32_t DoneButton(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    const WideText kindUnits(ip.ArgText(1));
    const std::u16string_view kind = kindUnits.View();
    platform::DoneButton button = platform::DoneButton::Cancel;
    // The done button's kinds are ASCII words, compared without regard to case.
    if (EqualsAsciiWord(kind, u"none")) button = platform::DoneButton::Hidden;
    if (EqualsAsciiWord(kind, u"ok")) button = platform::DoneButton::Ok;
    if (platform::FormWindow* w = form->LiveWindow()) w->SetDoneButton(button);
    return 0;
}

uint32_t ShowSip(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const bool up = ip.ArgBool(1) != 0;
    if (ip.ErrorPending()) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(form));
    if (platform::FormWindow* w = form->LiveWindow()) w->ShowInputPanel(up);
    return 0;
}

uint32_t ShowSipButton(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const bool shown = ip.ArgBool(1) != 0;
    if (ip.ErrorPending()) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(form));
    if (platform::FormWindow* w = form->LiveWindow()) w->ShowInputPanelButton(shown);
    return 0;
}

// --- TTodayForm ------------------------------------------------------------------

// The Today screen whose handle "gTodayParentWnd" holds; none without the host.
platform::TodayHost* TodayParent(Interpreter& ip)
{
    const Value handle = ip.GetGlobal(u"gTodayParentWnd");
    return handle.tag == Tag::Binary ? platform::TodayHost::FromHandle(handle.binary) : nullptr;
}

uint32_t TodayShow(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (!ip.ArgValue(0).IsTable()) return 0;
    platform::TodayHost* host = TodayParent(ip);
    if (host == nullptr) return 0;
    NewForm(ip, true)->ShowTodayItem(*host);
    return 0;
}

uint32_t TodayTextColor(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    Form* form = ThisForm(ip);
    platform::TodayHost* host = TodayParent(ip);
    if (form == nullptr || form->LiveWindow() == nullptr || host == nullptr) return 0;
    const platform::Color color = host->TextColor();
    TableObject* rgb = ip.NewTable();
    rgb->Set(Value::Number(0), Value::Number(platform::RedOf(color)));
    rgb->Set(Value::Number(1), Value::Number(platform::GreenOf(color)));
    rgb->Set(Value::Number(2), Value::Number(platform::BlueOf(color)));
    ip.PushValue(Value::Table(rgb));
    return 1;
}

constexpr ClassMethod kFormMethods[] = {
    {u"Default", DeriveFromThis},
    {u"Show", Show},
    {u"Close", Close},
    {u"GetView", GetView},
    {u"SetTitle", SetTitle},
    {u"Redraw", Redraw},
    {u"SetMenu", SetMenu},
    {u"SetFocus", SetFocus},
    {u"SetForeground", SetForeground},
    {u"DoneButton", DoneButton},
    {u"ShowSip", ShowSip},
    {u"ShowSipButton", ShowSipButton},
};

constexpr ClassMethod kTodayFormMethods[] = {
    {u"Default", DeriveFromThis},
    {u"GetView", GetView},
    {u"Redraw", Redraw},
    {u"SetFocus", SetFocus},
    {u"SetForeground", SetForeground},
    {u"TodayTextColor", TodayTextColor},
    {u"Show", TodayShow},
};

} // namespace

void RegisterFormClasses(Interpreter& ip)
{
    DefineClass(ip, u"TForm", kFormMethods);
    DefineClass(ip, u"TTodayForm", kTodayFormMethods);
    // Running as the Today screen's host, the scripts find the screen here.
    if (platform::TodayHost* host = platform::TodayHost::Current()) {
        ip.SetGlobal(u"gTodayParentWnd", Value::Binary(host->Handle()));
        ip.SetGlobal(u"gTodayHInst", Value::Binary(host->Handle()));
    }
}

} // namespace vellum::gui
