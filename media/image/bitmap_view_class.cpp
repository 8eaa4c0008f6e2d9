// TBitmapView's own methods. `this` is the view table; a table without its
// native view makes each of them do nothing and give null.
#include "media/image/bitmap_view_class.h"

#include "engine/vm/interpreter.h"
#include "gui/view/view_class.h"
#include "media/image/bitmap_view.h"

namespace vellum::media {

namespace {

BitmapView* ThisBitmapView(Interpreter& ip) { return dynamic_cast<BitmapView*>(gui::ThisView(ip)); }

// Stores the value as the "bitmap" property; what it names is looked up at
// each use, so anything else than a bitmap simply shows nothing.
uint32_t SetBitmap(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 1)) return 0;
    BitmapView* view = ThisBitmapView(ip);
    if (view == nullptr) return 0;
    ip.TableSet(view->Table(), u"bitmap", ip.ArgValue(1));
    return 0;
}

uint32_t Zoom(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    BitmapView* view = ThisBitmapView(ip);
    if (view == nullptr) return 0;
    if (ip.ArgCount() - 1 == 1) {
        const double factor = ip.ArgNumber(1);
        if (ip.ErrorPending()) return 0;
        view->zoom = factor;
    }
    ip.PushNumber(view->zoom);
    return 1;
}

uint32_t Rect(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 0)) return 0;
    BitmapView* view = ThisBitmapView(ip);
    if (view == nullptr) return 0;
    ValueRoot keep(ip, Value::Table(view->Table()));
    const BitmapPlacement placement = view->Placement();
    if (ip.ErrorPending()) return 0;
    TableObject* result = ip.NewTable();
    ip.TableSet(result, u"left", Value::Number(placement.left));
    ip.TableSet(result, u"top", Value::Number(placement.top));
    ip.TableSet(result, u"width", Value::Number(placement.width));
    ip.TableSet(result, u"height", Value::Number(placement.height));
    ip.PushValue(Value::Table(result));
    return 1;
}

constexpr ClassMethod kBitmapViewMethods[] = {{u"SetBitmap", SetBitmap}, {u"Zoom", Zoom}, {u"Rect", Rect}};

} // namespace

void RegisterBitmapViewClass(Interpreter& ip)
{
    AddMethods(ip, gui::RegisterViewClass(ip, u"TBitmapView", gui::CreateViewObject<BitmapView>), kBitmapViewMethods);
}

} // namespace vellum::media
