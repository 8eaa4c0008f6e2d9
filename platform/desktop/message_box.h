// The system's message box, as scripts and the error box use it. In console
// mode it writes the text to standard output instead and answers with its
// first button, so that scripts run unattended on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace vellum::platform {

class FormWindow;

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { Information, Error, Question, Exclamation };

// The buttons and icons scripts name: "okCancel", "yesNo", "yesNoCancel"
// (else OK alone) and "error", "question", "exclamation" (else
// information), compared without regard to case.
MessageButtons MessageButtonsNamed(std::u16string_view name);
MessageIcon MessageIconNamed(std::u16string_view name);

// Switches every message box of the process to the terminal.
void SetConsoleMode(bool on);
bool ConsoleMode();

// Shows a modal box, owned by the form window when one is given, and gives
// the button that closed it: "ok", "cancel", "yes" or "no".
std::u16string ShowMessageBox(std::u16string_view text, std::u16string_view caption, MessageButtons buttons,
                              MessageIcon icon, const FormWindow* owner = nullptr);

// The desktop's own box, installed by the part of the platform that shows
// windows (InstallDesktopMessageBox); without one, boxes are written to the
// terminal as in console mode.
using DesktopMessageBox = std::u16string (*)(std::u16string_view text, std::u16string_view caption,
                                             MessageButtons buttons, MessageIcon icon, const FormWindow* owner);
void SetDesktopMessageBox(DesktopMessageBox show);

// Writes a line to standard error as UTF-8 (console mode's error line).
void WriteErrorLine(std::u16string_view text);

} // namespace vellum::platform
