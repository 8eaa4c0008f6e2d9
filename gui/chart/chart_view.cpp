#include "gui/chart/chart_view.h"

#include "gui/gui_library.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

void ChartView::Draw(Canvas& canvas, const Rect&) { DrawDecoration(canvas); }

void RegisterChartClass(Interpreter& ip) { RegisterViewClass(ip, u"TChart", CreateViewObject<ChartView>); }

} // namespace vellum::gui
