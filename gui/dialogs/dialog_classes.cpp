// Adds the dialog methods to the form classes TForm and TTodayForm made.
// A Today item has no camera: the Today screen cannot host a modal window.
#include "gui/dialogs/dialog_methods.h"
#include "gui/gui_library.h"

namespace vellum::gui {

namespace {

constexpr ClassMethod kFormDialogs[] = {
    {u"MsgBox", FormMsgBox},
    {u"PopupMenu", PopupMenu},
    {u"ChooseContact", ChooseContact},
    {u"PoomBitmap", PoomBitmap},
    {u"CameraCapture", CameraCapture},
};

constexpr ClassMethod kTodayFormDialogs[] = {
    {u"MsgBox", FormMsgBox},
    {u"PopupMenu", PopupMenu},
    {u"ChooseContact", ChooseContact},
    {u"PoomBitmap", PoomBitmap},
};

} // namespace

void RegisterDialogMethods(Interpreter& ip)
{
    AddMethods(ip, u"TForm", kFormDialogs);
    AddMethods(ip, u"TTodayForm", kTodayFormDialogs);
}

} // namespace vellum::gui
