#include "gui/gui_library.h"

namespace vellum::gui {

void RegisterGuiLibrary(Interpreter& ip)
{
    RegisterShapeClasses(ip);
}

} // namespace vellum::gui
