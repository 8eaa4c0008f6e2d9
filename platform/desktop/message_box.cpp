#include "platform/desktop/message_box.h"

#include "engine/core/case_mapping.h"
#include "engine/core/unicode.h"
#include "platform/qt_convert.h"
#include "platform/window/shell_widget.h"

#include <QMessageBox>
#include <QString>

#include <cstdio>

namespace vellum::platform {

namespace {

bool consoleMode = false;

void WriteLine(std::FILE* stream, std::u16string_view text)
{
    const std::string line = ToUtf8(text) + '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

std::u16string ConsoleAnswer(MessageButtons buttons)
{
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? u"yes" : u"ok";
}

} // namespace

MessageButtons MessageButtonsNamed(std::u16string_view name)
{
    if (EqualIgnoringCase(name, u"okCancel")) return MessageButtons::OkCancel;
    if (EqualIgnoringCase(name, u"yesNo")) return MessageButtons::YesNo;
    if (EqualIgnoringCase(name, u"yesNoCancel")) return MessageButtons::YesNoCancel;
    return MessageButtons::Ok;
}

MessageIcon MessageIconNamed(std::u16string_view name)
{
    if (EqualIgnoringCase(name, u"error")) return MessageIcon::Error;
    if (EqualIgnoringCase(name, u"question")) return MessageIcon::Question;
    if (EqualIgnoringCase(name, u"exclamation")) return MessageIcon::Exclamation;
    return MessageIcon::Information;
}

void SetConsoleMode(bool on) { consoleMode = on; }

bool ConsoleMode() { return consoleMode; }

std::u16string ShowMessageBox(std::u16string_view text, std::u16string_view caption, MessageButtons buttons,
                              MessageIcon icon, const FormWindow* owner)
{
    if (consoleMode) {
        WriteLine(stdout, text);
        return ConsoleAnswer(buttons);
    }
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

void WriteErrorLine(std::u16string_view text)
{
    std::fflush(stdout);
    WriteLine(stderr, text);
}

} // namespace vellum::platform
