#include "gui/gui_library.h"

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip)
{
    RegisterShapeClasses(ip);
    RegisterEditClass(ip);
    RegisterLayoutClasses(ip);
    RegisterFormClasses(ip);
}

} // namespace vellum::gui
