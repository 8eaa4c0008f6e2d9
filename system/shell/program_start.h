// Starting programs of the device folder and opening documents and
// addresses with the desktop's opener.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace vellum {
class Interpreter;
}

namespace vellum::system {

// Starts the program at a device path with a command line, which is split
// into its arguments as the handheld's programs split theirs. Only
// executable files inside the device folder start; the program runs in
// its own directory and is not waited for. True when it was started.
bool StartDeviceProgram(Interpreter& ip, std::u16string_view program, std::u16string_view commandLine);

// The desktop's opener ("xdg-open" on PATH), or none.
std::optional<std::filesystem::path> Opener();

// True for a text that starts with a URI scheme ("http:", "mailto:",
// "tel:"); device paths never do.
bool IsAddress(std::u16string_view text);

// Opens an address as it is, or the existing file at a device path, with
// the opener. False when there is no opener, the path is refused or the
// file does not exist.
bool OpenWithOpener(Interpreter& ip, std::u16string_view target);

} // namespace vellum::system
