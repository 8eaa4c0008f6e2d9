#include "gui/form/form.h"

#include "engine/core/collector.h"
#include "engine/vm/interpreter.h"
#include "gui/form/wheel_target.h"
#include "gui/layout/switch_view.h"
#include "gui/view/view.h"
#include "gui/view/view_binding.h"
#include "platform/window/device_screen.h"
#include "platform/window/message_loop.h"
#include "platform/window/today_host.h"

namespace vellum::gui {

namespace {

// What a form shows when its "view" is not a view.
constexpr std::u16string_view kNoViewSource = u"{parent=TText, text='errFormNoView'}";

// A Today item without a "height" of its own.
constexpr int32_t kDefaultTodayHeight = 50;

} // namespace

Form::Form(Interpreter& ip_, TableObject* table_, bool isToday_) : Window(ip_, table_), isToday(isToday_) {}

void Form::Mark(Collector& collector)
{
    Window::Mark(collector);
    collector.MarkObject(root);
    collector.MarkObject(captured);
    collector.MarkObject(focus);
}

// Every event roots the form once: the script may drop it while a handler
// runs. The form's own handlers root its table through CallScriptHandler.

void Form::ReadDpi() { dpiX = dpiY = platform::CurrentDeviceScreen().dpi; }

TableObject* Form::RootTable()
{
    Value view = ip.GetProperty(table, u"view");
    if (!IsViewTable(ip, view)) {
        view = ip.EvalSource(kNoViewSource);
        ip.TableSet(table, u"view", view);
    }
    return view.IsTable() ? view.table : nullptr;
}

View* Form::BuildWithoutWindow(TableObject* rootTable, const platform::Rect& r, int32_t dpiX_, int32_t dpiY_)
{
    dpiX = dpiX_;
    dpiY = dpiY_;
    root = CreateView(ip, nullptr, this, rootTable);
    if (root == nullptr) return nullptr;
    root->SetRect(r);
    root->Arrange(nullptr);
    return root;
}

void Form::BuildRoot(TableObject* rootTable)
{
    root = CreateView(ip, nullptr, this, rootTable);
    platform::FormWindow* w = LiveWindow();
    if (root == nullptr || w == nullptr) return;
    ReadDpi();
    root->SetRect(w->ClientRect());
    root->Arrange(w);
}

void Form::ShowForm(Window* owner)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepTable(ip, Value::Table(table));
    ReadDpi();
    TableObject* rootTable = RootTable();
    ValueRoot keepRoot(ip, rootTable != nullptr ? Value::Table(rootTable) : Value::Null());
    // A form without a title shows an empty title strip, not the word null.
    const Value titleValue = ip.GetProperty(table, u"title");
    const std::u16string title(titleValue.IsNull() ? u"" : ip.ToString(titleValue, false, true)->Utf16());
    if (!CreateNativeWindow(owner != nullptr ? owner->LiveWindow() : nullptr, title)) return;
    BuildRoot(rootTable);

    TableObject* menuTable = ip.GetTableField(table, u"menu");
    window->SetDoneButton(platform::DoneButton::Ok);
    window->ShowInputPanelButton(menuTable != nullptr);
    if (menuTable != nullptr) SetMenu(menuTable);

    if (root != nullptr) {
        root->SetFocus();
        root->OnCreate();
    }
    CallScriptHandler(ip, table, u"OnCreate");

    if (ip.GetProperty(table, u"modal").IsTrue()) {
        RunModal();
    } else {
        RunModeless();
    }
    EndAfterError();
    if (root == nullptr) return;
    root->Release();
    // The window goes with this form, which nothing may keep alive now:
    // the views (another form may show them yet) keep none of it.
    root->LeaveWindow();
}

// An error ended the loop (EndLoopsAfterError) with the window still up:
// it goes as the form goes when it ends (EndRequested), so that the error
// box shows over whatever ran the script and no dead window stays behind.
void Form::EndAfterError()
{
    if (!ip.ErrorPending() || LiveWindow() == nullptr) return;
    if (root != nullptr) root->Stop();
    window->Destroy();
}

void Form::ShowTodayItem(platform::TodayHost& host)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepTable(ip, Value::Table(table));
    // The Today screen gets the same stand-in view as a TForm, rather than
    // an item that shows nothing.
    ReadDpi();
    TableObject* rootTable = RootTable();
    ValueRoot keepRoot(ip, rootTable != nullptr ? Value::Table(rootTable) : Value::Null());
    if (!CreateNativeWindow(nullptr, u"", &host, TodayHeight())) return;
    BuildRoot(rootTable);
    if (root != nullptr) root->OnCreate();
    CallScriptHandler(ip, table, u"OnCreate");
    if (platform::FormWindow* w = LiveWindow()) {
        w->Show();
        ip.SetGlobal(u"gTodayMainWnd", Value::Binary(w));
    }
}

int32_t Form::TodayHeight()
{
    int32_t dip;
    if (!Interpreter::ValueToInt(ip.GetProperty(table, u"height"), dip)) return kDefaultTodayHeight;
    return static_cast<int32_t>(int64_t{dip} * dpiY / 96);
}

void Form::Close()
{
    if (LiveWindow() == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const std::optional<Value> answer = CallScriptHandler(ip, table, u"OnClose");
    if (answer && !answer->IsNull() && !answer->IsTrue()) return;
    // A form whose tree could not be built has no views to ask; it still
    // closes, or nothing could ever end its loop.
    if (root != nullptr && !root->OnClose()) return;
    if (root != nullptr) root->Stop();
    if (window) window->Destroy();
}

void Form::EndRequested()
{
    if (LiveWindow() == nullptr) return;
    // An item cannot end on its own: the Today screen it lies in closes.
    if (isToday) {
        if (platform::TodayHost* host = platform::TodayHost::Current()) host->Close();
        return;
    }
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (root != nullptr) root->Stop();
    if (window) window->Destroy();
}

void Form::Destroyed()
{
    captureActive = false;
    captured = nullptr;
    // A TForm's loop ends; the Today screen owns the loop its items run in.
    // While an error is pending the interpreter's loops are ending already,
    // and a quit would end the next loop that runs (the editor's).
    if (!isToday && !ip.ErrorPending()) platform::PostQuit();
}

void Form::Relayout(RefreshFor cause)
{
    platform::FormWindow* w = LiveWindow();
    if (root == nullptr || w == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const RefreshCause refreshFor(cause);
    ReadDpi();
    platform::Rect r = w->ClientRect();
    if (!isToday) {
        if (availableHeight < 0) availableHeight = w->AvailableHeight();
        if (availableHeight > 0) r.bottom = r.top + availableHeight - 1;
    }
    root->SetRect(r);
    root->Refresh();
    if (platform::FormWindow* still = LiveWindow()) still->Invalidate(still->ClientRect());
}

void Form::SetMenu(TableObject* menuTable)
{
    platform::FormWindow* w = LiveWindow();
    if (w == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepMenu(ip, Value::Table(menuTable));
    const platform::MenuLayout choice = menu.Build(menuTable);
    InstallMenuBar(choice);
    // The keys show their state from the start, not only once a pop-up opened.
    if (platform::FormWindow* still = LiveWindow()) menu.Update(*still);
}

View* Form::FindView(std::u16string_view id)
{
    if (root == nullptr) return nullptr;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View* found = root->FindById(id);
    return found != nullptr ? found : root;
}

// --- the window's events ----------------------------------------------------------

platform::PaintMode Form::PaintModeNow()
{
    platform::PaintMode mode;
    if (root == nullptr) return mode;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Value buffered = ip.GetProperty(table, u"doubleBuffered");
    mode.doubleBuffered = buffered.tag == Tag::Bool ? buffered.IsTrue() : true;
    if (!mode.doubleBuffered) mode.transparent = ip.GetProperty(table, u"transparent").IsTrue();
    return mode;
}

void Form::Paint(platform::Canvas& canvas, const platform::Rect& clip)
{
    if (root == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    root->Paint(canvas, clip);
}

void Form::MouseDown(platform::Point p)
{
    if (root == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View* hit = root->HitTest(p.x, p.y);
    if (hit == nullptr) return;
    ValueRoot keepHit(ip, Value::Pointer(hit));
    hit->OnMouseDown(p.x, p.y);
    hit->SetFocus();
    captured = hit;
    captureActive = true;
}

void Form::MouseUp(platform::Point p)
{
    if (!captureActive) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View* pressed = std::exchange(captured, nullptr);
    // Ended before the handlers run: a handler that opens another form must
    // not leave this one tracking the pointer.
    captureActive = false;
    if (pressed != nullptr) {
        ValueRoot keepPressed(ip, Value::Pointer(pressed));
        pressed->OnMouseUp(p.x, p.y);
    }
    View* hit = root != nullptr ? root->HitTest(p.x, p.y) : nullptr;
    if (hit == nullptr) return;
    ValueRoot keepHit(ip, Value::Pointer(hit));
    hit->OnClick();
}

void Form::MouseMove(platform::Point p)
{
    if (!captureActive || captured == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepCaptured(ip, Value::Pointer(captured));
    captured->OnMouseMove(p.x, p.y);
}

void Form::Wheel(platform::Point p, int32_t across, int32_t down)
{
    if (root == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    for (View* view = root->HitTest(p.x, p.y); view != nullptr; view = view->Parent()) {
        auto* target = dynamic_cast<WheelTarget*>(view);
        if (target == nullptr) continue;
        ValueRoot keepView(ip, Value::Pointer(view));
        if (target->OnWheel(across, down) || ip.ErrorPending()) return;
    }
}

void Form::KeyDown(int32_t key)
{
    if (focus == nullptr || !focus->HasFocus()) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepFocus(ip, Value::Pointer(focus));
    focus->OnKeyDown(key);
}

// The window's own relayouts are the desktop's: what the user typed stays.

void Form::Resized()
{
    availableHeight = -1;
    Relayout(RefreshFor::Desktop);
}

void Form::Activated(bool active)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (active) CallScriptHandler(ip, table, u"OnActivate");
    availableHeight = -1;
    Relayout(RefreshFor::Desktop);
}

void Form::InputPanelChanged()
{
    if (platform::FormWindow* w = LiveWindow()) availableHeight = w->AvailableHeight();
    Relayout(RefreshFor::Desktop);
}

void Form::Command(int32_t id)
{
    if (id == platform::kCommandOk || id == platform::kCommandCancel) {
        Close();
        return;
    }
    if (id == 0 || !HasMenu()) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    menu.Dispatch(id);
}

void Form::MenuAboutToShow()
{
    platform::FormWindow* w = LiveWindow();
    if (w == nullptr || !HasMenu()) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    menu.Update(*w);
}

void Form::FocusMovedTo(platform::NativeWindow* control)
{
    if (root == nullptr || control == LiveWindow()) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View* found = root->FindByWindow(control);
    if (found == nullptr || found == focus) return;
    ValueRoot keepFound(ip, Value::Pointer(found));
    MoveFocusTo(found, false);
}

void Form::MoveFocusTo(View* view, bool takeWindowFocus)
{
    // Mark keeps the previous view alive while its handler runs.
    if (focus != nullptr) focus->OnKillFocus();
    if (takeWindowFocus && view->HostWindow() != nullptr) view->HostWindow()->TakeFocus();
    focus = view;
    SwitchView::FocusMovedTo(*view);
    view->OnSetFocus();
}

bool Form::TodayRefreshQuery(platform::TodayItemRecord* record)
{
    if (record == nullptr) return false;
    platform::TodayHost* host = platform::TodayHost::Current();
    if (host == nullptr || !host->Ready()) return false;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const int32_t wanted = TodayHeight();
    if (wanted == record->cyp) return false;
    record->cyp = wanted;
    return true;
}

} // namespace vellum::gui
