#include "gui/gui_library.h"

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip)
{
    RegisterShapeClasses(ip);
    RegisterLayoutClasses(ip);
    RegisterListClasses(ip);
    RegisterFormClasses(ip);
}

} // namespace vellum::gui
