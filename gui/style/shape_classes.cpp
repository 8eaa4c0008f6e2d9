// The shape classes scripts derive their views from.
#include "gui/gui_library.h"
#include "gui/style/ellipse_view.h"
#include "gui/style/file_icon_view.h"
#include "gui/style/image_view.h"
#include "gui/style/line_view.h"
#include "gui/style/rectangle_view.h"
#include "gui/style/text_view.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

void RegisterShapeClasses(Interpreter& ip)
{
    RegisterViewClass(ip, u"TRectangle", CreateViewObject<RectangleView>);
    RegisterViewClass(ip, u"TEllipse", CreateViewObject<EllipseView>);
    RegisterViewClass(ip, u"TLine", CreateViewObject<LineView>);
    RegisterViewClass(ip, u"TText", CreateViewObject<TextView>);
    RegisterViewClass(ip, u"TImage", CreateViewObject<ImageView>);
    RegisterViewClass(ip, u"TImageListIcon", CreateViewObject<FileIconView>);
}

} // namespace vellum::gui
