// A form's message box and its pop-up menus.
#include "engine/core/string_object.h"
#include "gui/dialogs/dialog_methods.h"
#include "gui/form/menu_model.h"
#include "platform/desktop/message_box.h"
#include "platform/dialogs/popup_menu.h"

#include <string>

namespace vellum::gui {

// MsgBox text [, caption [, buttons [, icon]]]: the caption is the form's
// title unless given; the box is owned by the form's window, which comes
// to the front first.
uint32_t FormMsgBox(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 4)) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    ValueRoot keepForm(ip, Value::Pointer(form));
    const int given = ip.ArgCount() - 1;
    // Copies: the box runs a loop, and scripts running meanwhile may
    // collect the argument strings.
    const std::u16string text(ip.ArgText(1)->Utf16());
    std::u16string caption(given >= 2 ? ip.ArgText(2)->Utf16() : u"");
    const auto buttons =
        given >= 3 ? platform::MessageButtonsNamed(ip.ArgText(3)->Utf16()) : platform::MessageButtons::Ok;
    const auto icon =
        given >= 4 ? platform::MessageIconNamed(ip.ArgText(4)->Utf16()) : platform::MessageIcon::Information;
    if (given < 2) caption = ip.ToString(ip.GetProperty(form->table, u"title"), false, true)->Utf16();
    if (ip.ErrorPending()) return 0;
    platform::FormWindow* window = form->LiveWindow();
    if (window != nullptr) window->BringToForeground();
    ip.PushString(platform::ShowMessageBox(text, caption, buttons, icon, window));
    return 1;
}

// PopupMenu menu, position: the menu array opened at position (DIP, form
// client coordinates; the top left without numeric x and y); gives the
// chosen command's identifier after running its action, 0 when dismissed,
// -1 when the menu cannot be opened.
uint32_t PopupMenu(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    TableObject* entries = ip.ArgTable(1);
    TableObject* position = ip.ArgTable(2);
    if (ip.ErrorPending()) return 0;
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    ValueRoot keepForm(ip, Value::Pointer(form));
    ValueRoot keepEntries(ip, Value::Table(entries));
    platform::Point at;
    int32_t x, y;
    if (Interpreter::ValueToInt(ip.TableGet(position, u"x"), x) && Interpreter::ValueToInt(ip.TableGet(position, u"y"), y)) {
        at = {DipToPx(x, form->DpiX()), DipToPx(y, form->DpiY())};
    }
    // A menu of its own, numbered from 100 like the form's: the form's
    // menu bar keeps its commands while the pop-up is open and after.
    MenuModel model(ip);
    const platform::MenuLayout layout = model.Build(entries);
    if (ip.ErrorPending()) return 0;
    const platform::FormWindow* window = form->LiveWindow();
    const int32_t chosen = window != nullptr ? platform::TrackPopupMenu(*window, layout, at) : -1;
    if (chosen >= MenuModel::kFirstCommand) model.Dispatch(chosen);
    ip.PushNumber(chosen);
    return 1;
}

} // namespace vellum::gui
