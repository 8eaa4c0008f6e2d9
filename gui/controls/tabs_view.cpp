#include "gui/controls/tabs_view.h"

#include "engine/core/string_object.h"
#include "gui/style/style.h"
#include "gui/gui_library.h"
#include "gui/view/view_class.h"
#include "platform/controls/tab_control.h"
#include "platform/window/form_window.h"

#include <string>
#include <vector>

namespace vellum::gui {

TabsView::TabsView(Interpreter& ip_) : SwitchView(ip_) {}

void TabsView::Release()
{
    bar.reset();
    SwitchView::Release();
}

std::u16string TabsView::TabLabel(TableObject* child)
{
    const Value label = ip.GetProperty(child, u"tab");
    if (label.IsNull()) return {};
    return ip.ToString(label, false, true)->Utf16();
}

void TabsView::Arrange(platform::NativeWindow* hostWindow)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    bar.reset();
    if (auto* formWindow = dynamic_cast<platform::FormWindow*>(hostWindow)) {
        bar = platform::NativeControl::Create(*formWindow, platform::ControlKind::Tabs, *this);
    }
    if (bar != nullptr) {
        FontRecord font;
        {
            const Style style(*this);
            font = StyleFont(style);
        }
        if (bar != nullptr) bar->SetFont(font.Choice());
        // Labels first: reading them may run script code.
        std::vector<std::u16string> labels;
        VisitChildren([&](const Child& child) {
            labels.push_back(TabLabel(child.table));
            return true;
        });
        for (size_t i = 0; i < labels.size() && bar != nullptr; ++i) {
            platform::InsertTab(*bar, static_cast<int32_t>(i), labels[i]);
        }
    }
    SwitchView::Arrange(hostWindow);
    if (bar != nullptr) {
        ChildArea();
        bar->Show(visible);
    }
}

Rect TabsView::ChildArea()
{
    const Rect content = GetContentRect();
    return bar != nullptr ? platform::PlaceTabBar(*bar, content) : content;
}

void TabsView::Refresh()
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    if (bar != nullptr) {
        FontRecord font;
        {
            const Style style(*this);
            font = StyleFont(style);
        }
        const int32_t current = GetCurPos();
        std::u16string label;
        bool found = false;
        VisitChildren([&](const Child& child) {
            if (child.index != current) return true;
            label = TabLabel(child.table);
            found = true;
            return false;
        });
        if (bar != nullptr) {
            bar->SetFont(font.Choice());
            if (found) platform::SetTabText(*bar, current, label);
            ChildArea();
        }
    }
    SwitchView::Refresh();
}

void TabsView::Show()
{
    SwitchView::Show();
    if (bar != nullptr) bar->Show(true);
}

void TabsView::Hide()
{
    SwitchView::Hide();
    if (bar != nullptr) bar->Show(false);
}

View* TabsView::FindByWindow(const platform::NativeWindow* w)
{
    if (w != nullptr && w == bar.get()) return this;
    return SwitchView::FindByWindow(w);
}

void TabsView::RemoveChildAt(int32_t index)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    SwitchView::RemoveChildAt(index);
    if (bar != nullptr) platform::DeleteTab(*bar, index);
}

void TabsView::SetCurPos(int32_t n)
{
    SwitchView::SetCurPos(n);
    if (bar != nullptr) platform::SelectTab(*bar, n);
}

int32_t TabsView::AddItem(TableObject* child)
{
    ValueRoot keepSelf(ip, Value::Pointer(this));
    ValueRoot keepChild(ip, Value::Table(child));
    return AppendChild(child, [&](int32_t index) {
        if (bar != nullptr) platform::InsertTab(*bar, index, TabLabel(child));
        SwitchTo(index);
    });
}

void TabsView::TabChanged()
{
    if (bar == nullptr) return;
    ValueRoot keepSelf(ip, Value::Pointer(this));
    SwitchTo(platform::CurrentTab(*bar));
    Refresh();
    Invalidate();
}

namespace {

// AddItem(view): appends the view table as a page with its tab and switches
// to it; its index. Anything but a table adds nothing and gives nothing.
uint32_t AddItem(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    if (!ip.ArgValue(1).IsTable()) return 0;
    TableObject* child = ip.ArgValue(1).table;
    auto* tabs = dynamic_cast<TabsView*>(ThisView(ip));
    if (tabs == nullptr) return 0;
    ValueRoot keep(ip, Value::Pointer(tabs));
    const int32_t index = tabs->AddItem(child);
    if (index < 0) return 0;
    ip.PushNumber(index);
    return 1;
}

constexpr ClassMethod kTabsMethods[] = {
    {u"DeleteItem", DeleteItemMethod}, {u"AddItem", AddItem}, {u"SwitchView", SwitchViewMethod}};

} // namespace

void RegisterTabsClass(Interpreter& ip)
{
    AddMethods(ip, RegisterViewClass(ip, u"TTabs", CreateViewObject<TabsView>), kTabsMethods);
}

} // namespace vellum::gui
