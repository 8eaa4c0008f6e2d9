// The terminal side of the message box, which needs no window system: a
// console run that shows no window loads none.
#include "platform/desktop/message_box.h"

#include "engine/core/case_mapping.h"
#include "engine/core/terminal_text.h"
#include "engine/core/unicode.h"

#include <cstdio>

namespace vellum::platform {

namespace {

bool consoleMode = false;
DesktopMessageBox desktopBox = nullptr;

void WriteLine(std::FILE* stream, std::u16string_view text)
{
    WriteText(stream, ToUtf8(text) + '\n');
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
    if (consoleMode || desktopBox == nullptr) {
        WriteLine(stdout, text);
        return ConsoleAnswer(buttons);
    }
    return desktopBox(text, caption, buttons, icon, owner);
}

void SetDesktopMessageBox(DesktopMessageBox show) { desktopBox = show; }

void WriteErrorLine(std::u16string_view text)
{
    std::fflush(stdout);
    WriteLine(stderr, text);
}

} // namespace vellum::platform
