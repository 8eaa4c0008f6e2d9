// The list and scrolling classes and their own methods.
#include "gui/gui_library.h"
#include "gui/list/scroll_list_view.h"
#include "gui/list/scroll_sheet_view.h"
#include "gui/list/scroll_view.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

namespace {

// The index of the item at a point {x, y} in pixels of the form's client
// area; -1 when no item is there.
uint32_t Point2Pos(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* point = ip.ArgTable(1);
    if (point == nullptr) return 0;
    auto* list = dynamic_cast<ListView*>(ThisView(ip));
    if (list == nullptr) return 0;
    int32_t x = 0;
    int32_t y = 0;
    PointOfTable(ip, point, x, y);
    ip.PushNumber(list->Point2Pos(x, y));
    return 1;
}

uint32_t ScrollCurPosToView(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (auto* list = dynamic_cast<ScrollListView*>(ThisView(ip))) list->ScrollCurPosToView();
    return 0;
}

constexpr ClassMethod kListMethods[] = {{u"Point2Pos", Point2Pos}};
constexpr ClassMethod kScrollListMethods[] = {{u"Point2Pos", Point2Pos}, {u"ScrollCurPosToView", ScrollCurPosToView}};

} // namespace

void RegisterListClasses(Interpreter& ip)
{
    AddMethods(ip, RegisterViewClass(ip, u"TList", CreateViewObject<ListView>), kListMethods);
    AddMethods(ip, RegisterViewClass(ip, u"TScrollList", CreateViewObject<ScrollListView>), kScrollListMethods);
    RegisterViewClass(ip, u"TSheet", CreateViewObject<SheetView>);
    RegisterViewClass(ip, u"TScrollSheet", CreateViewObject<ScrollSheetView>);
    RegisterViewClass(ip, u"TScrollView", CreateViewObject<ScrollView>);
}

} // namespace vellum::gui
