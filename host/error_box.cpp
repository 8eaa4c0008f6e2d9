#include "host/error_box.h"

#include "platform/desktop/message_box.h"

#include <string>

namespace vellum {

void ErrorBox::ShowError(std::u16string_view message, std::optional<TextLocation> at)
{
    shown = true;
    if (!platform::ConsoleMode()) {
        platform::ShowMessageBox(message, u"Vellum Error", platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return;
    }
    std::u16string line = u"Vellum Error: ";
    line += message;
    if (at) {
        const std::string suffix = " (line " + std::to_string(at->line) + ", column " + std::to_string(at->column) + ")";
        line.append(suffix.begin(), suffix.end());
    }
    platform::WriteErrorLine(line);
}

} // namespace vellum
