// The message box on the desktop: a modal QMessageBox.
#include "platform/desktop/desktop_message_box.h"

#include "platform/desktop/message_box.h"
#include "platform/qt_convert.h"
#include "platform/window/shell_widget.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QString>

namespace vellum::platform {

namespace {

// Room the window manager takes from a title bar for the window's icon and buttons.
constexpr int kTitleBarControls = 160;

// The window manager draws the title in the box's width and cuts what does
// not fit ("Vell... Error"); a box with a short text is made wide enough.
void KeepTitleWhole(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle());
    grid->addItem(new QSpacerItem(title + kTitleBarControls, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

std::u16string ShowDesktopMessageBox(std::u16string_view text, std::u16string_view caption, MessageButtons buttons,
                                     MessageIcon icon, const FormWindow* owner)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
        standard = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        standard = QMessageBox::Yes | QMessageBox::No;
        break;
    case MessageButtons::YesNoCancel:
        standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
    case MessageIcon::Information:
        break;
    case MessageIcon::Error:
        qtIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Question:
        qtIcon = QMessageBox::Question;
        break;
    case MessageIcon::Exclamation:
        qtIcon = QMessageBox::Warning;
        break;
    }
    ShellWidget* shell = owner != nullptr ? ShellWidgetOf(*owner) : nullptr;
    QMessageBox box(qtIcon, ToQString(caption), ToQString(text), standard, shell);
    KeepTitleWhole(box);
    int pressed = 0;
    // The owner lives on while the box is open, even if a script running
    // meanwhile closes its form.
    if (shell != nullptr) shell->WhileBusy([&] { pressed = box.exec(); });
    else pressed = box.exec();
    switch (pressed) {
    case QMessageBox::Cancel:
        return u"cancel";
    case QMessageBox::Yes:
        return u"yes";
    case QMessageBox::No:
        return u"no";
    case QMessageBox::Ok:
        return u"ok";
    default:
        // Closed without a button (Escape on a box without Cancel, or the window's close).
        return buttons == MessageButtons::YesNo ? u"no" : buttons == MessageButtons::Ok ? u"ok" : u"cancel";
    }
}

} // namespace

void InstallDesktopMessageBox() { SetDesktopMessageBox(ShowDesktopMessageBox); }

} // namespace vellum::platform
