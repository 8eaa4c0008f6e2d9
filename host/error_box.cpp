#include "host/error_box.h"

#include "platform/desktop/message_box.h"

#include <string>

namespace vellum {

void ErrorBox::ShowError(std::u16string_view message, std::optional<TextLocation> at)
{
    shown = true;
    std::u16string text(message);
    if (at) {
        const std::string place = " (line " + std::to_string(at->line) + ", column " + std::to_string(at->column) + ")";
        text.append(place.begin(), place.end());
    }
    if (!platform::ConsoleMode()) {
        platform::ShowMessageBox(text, u"Vellum Error", platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return;
    }
    platform::WriteErrorLine(u"Vellum Error: " + text);
}

} // namespace vellum
