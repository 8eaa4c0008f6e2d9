// The classes of the native controls that have no methods beyond Create,
// and TComboBox with its own.
#include "gui/controls/button_view.h"
#include "gui/controls/combo_box_view.h"
#include "gui/controls/scroll_bar_view.h"
#include "gui/gui_library.h"
#include "gui/view/view_class.h"

namespace vellum::gui {

void RegisterControlClasses(Interpreter& ip)
{
    RegisterViewClass(ip, u"TButton", CreateViewObject<ButtonView>);
    RegisterComboBoxClass(ip);
    RegisterViewClass(ip, u"TScrollBar", CreateViewObject<ScrollBarView>);
}

} // namespace vellum::gui
