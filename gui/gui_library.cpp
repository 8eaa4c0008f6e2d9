#include "gui/gui_library.h"

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip)
{
    RegisterShapeClasses(ip);
    RegisterEditClass(ip);
    RegisterControlClasses(ip);
    RegisterChartClass(ip);
    RegisterSwitchClass(ip);
    RegisterTabsClass(ip);
    RegisterLayoutClasses(ip);
    RegisterListClasses(ip);
    RegisterFormClasses(ip);
    RegisterDialogMethods(ip);
}

} // namespace vellum::gui
