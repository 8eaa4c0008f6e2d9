#include "gui/gui_library.h"

#include "platform/desktop/desktop_message_box.h"

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
    // Scripts that can show forms show their message boxes on the desktop
    // too (outside console mode).
    platform::InstallDesktopMessageBox();
}

} // namespace vellum::gui
