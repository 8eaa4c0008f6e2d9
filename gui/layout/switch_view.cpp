#include "gui/layout/switch_view.h"

#include "engine/core/collector.h"
#include "gui/form/form.h"
#include "gui/style/view_property.h"
#include "gui/view/view_class.h"

#include <algorithm>

namespace vellum::gui {

namespace {

// Whether view lies in page with every view between them shown.
bool ShownIn(const View& view, const View& page)
{
    for (const View* v = &view; v != nullptr; v = v->Parent()) {
        if (!v->Visible()) return false;
        if (v == &page) return true;
    }
    return false;
}

} // namespace

void SwitchView::Mark(Collector& collector)
{
    GroupView::Mark(collector);
    for (const PageFocus& remembered : pageFocus) {
        collector.MarkObject(remembered.page);
        collector.MarkObject(remembered.view);
    }
}

int32_t SwitchView::GetCurPos()
{
    int32_t n = 0;
    return Interpreter::ValueToInt(ViewProperty(*this, u"curPos"), n) ? n : 0;
}

void SwitchView::SetCurPos(int32_t n)
{
    if (table != nullptr) ip.TableSet(table, u"curPos", Value::Number(n));
}

View* SwitchView::Current()
{
    const int32_t index = GetCurPos();
    View* current = nullptr;
    VisitChildren([&](const Child& child) {
        if (child.index != index) return true;
        current = child.view;
        return false;
    });
    return current;
}

void SwitchView::Arrange(platform::NativeWindow* hostWindow)
{
    View::Arrange(hostWindow);
    arranged = true;
    const Descent descent(*this);
    if (!descent.allowed) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    Layout(true);
    SwitchTo(GetCurPos());
}

void SwitchView::Layout(bool arrange)
{
    if (!arranged) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    const Rect page = ChildArea();
    const int32_t current = arrange ? -1 : GetCurPos();
    VisitChildren([&](const Child& child) {
        if (child.view == nullptr) return true;
        if (arrange || child.index == current) {
            Place(*child.view, page, arrange);
        } else {
            child.view->SetRect(page);
        }
        return true;
    });
}

void SwitchView::Paint(Canvas& canvas, const Rect& clip)
{
    if (!visible || !rect.Intersects(clip)) return;
    const Descent descent(*this);
    if (!descent.allowed) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    DrawDecoration(canvas);
    View* current = Current();
    if (current == nullptr) return;
    ValueRoot keepCurrent(ip, Value::Pointer(current));
    current->Paint(canvas, clip);
}

View* SwitchView::HitTest(int32_t x, int32_t y)
{
    const Descent descent(*this);
    if (!descent.allowed) return nullptr;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    View* current = Current();
    return current != nullptr ? current->HitTest(x, y) : nullptr;
}

int32_t SwitchView::MeasureHeight() { return parent != nullptr ? parent->GetContentRect().Height() : 0; }
int32_t SwitchView::MeasureWidth() { return parent != nullptr ? parent->GetContentRect().Width() : 0; }

void SwitchView::ShowOnly(int32_t index)
{
    const Descent descent(*this);
    if (!descent.allowed) return;
    // A hidden switch keeps every child hidden: their native controls must
    // not show through; Show brings the current one back.
    VisitChildren([&](const Child& child) {
        if (child.view == nullptr) return true;
        if (child.index == index && visible) {
            child.view->Show();
        } else {
            child.view->Hide();
        }
        return true;
    });
}

void SwitchView::Show()
{
    View::Show();
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ShowOnly(GetCurPos());
}

void SwitchView::SwitchTo(int32_t index)
{
    if (table == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ShowOnly(index);
    SetCurPos(index);
    CallHandler(u"OnSwitch");
    if (!ip.ErrorPending()) FocusPage(index);
}

void SwitchView::FocusPage(int32_t index)
{
    if (form == nullptr || !visible) return;
    View* focused = form->Focus();
    // Nothing moves while the form is built, before it gave the focus out.
    if (focused == nullptr) return;
    const bool inPages = focused != this && focused->Within(*this);
    if (!inPages && focused->TakesKeys()) return;
    View* page = nullptr;
    VisitChildren([&](const Child& child) {
        if (child.index == index) page = child.view;
        return page == nullptr;
    });
    if (page == nullptr) return;
    ValueRoot keepPage(ip, Value::Pointer(page));
    View* target = nullptr;
    for (const PageFocus& remembered : pageFocus) {
        if (remembered.page == page && ShownIn(*remembered.view, *page)) target = remembered.view;
    }
    if (target == nullptr) {
        std::vector<View*> takers;
        page->FindKeyTakers(takers, 2);
        if (takers.size() == 1) target = takers.front();
    }
    // The focus does not stay behind on a page that is hidden now.
    if (target == nullptr && inPages && !focused->Within(*page)) target = page;
    if (target != nullptr) target->SetFocus();
}

void SwitchView::FocusMovedTo(View& view)
{
    for (View* page = &view; page->Parent() != nullptr; page = page->Parent()) {
        auto* owner = dynamic_cast<SwitchView*>(page->Parent());
        if (owner == nullptr) continue;
        // A page the switch no longer holds is forgotten with its view.
        std::erase_if(owner->pageFocus, [&](const PageFocus& remembered) {
            return remembered.page == page || owner->IndexOfView(remembered.page) < 0;
        });
        owner->pageFocus.push_back({page, &view});
    }
}

namespace {

// The switch of `this` and the whole index its one argument gives; none
// (with the error pending when the argument is wrong) otherwise.
SwitchView* SwitchAndIndex(Interpreter& ip, int32_t& index)
{
    if (!ip.CheckArgs(1, -1)) return nullptr;
    const double n = ip.ArgNumber(1);
    if (ip.ErrorPending()) return nullptr;
    Interpreter::ValueToInt(Value::Number(n), index);
    return dynamic_cast<SwitchView*>(ThisView(ip));
}

} // namespace

// Removes the child at index when the container and all its children
// consent to closing, then shows the first child. A handler that failed
// has not consented.
uint32_t DeleteItemMethod(Interpreter& ip)
{
    int32_t index = 0;
    SwitchView* group = SwitchAndIndex(ip, index);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(group));
    if (!group->OnClose() || ip.ErrorPending()) return 0;
    group->RemoveChildAt(index);
    group->SwitchTo(0);
    return 0;
}

uint32_t SwitchViewMethod(Interpreter& ip)
{
    int32_t index = 0;
    SwitchView* group = SwitchAndIndex(ip, index);
    if (group == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(group));
    group->SwitchTo(index);
    return 0;
}

} // namespace vellum::gui
