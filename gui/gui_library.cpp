#include "gui/gui_library.h"

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip)
{
    RegisterShapeClasses(ip);
    RegisterLayoutClasses(ip);
    RegisterFormClasses(ip);
    RegisterDialogMethods(ip);
}

} // namespace vellum::gui
