#include "system/shell/program_start.h"

#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "platform/desktop/process.h"
#include "system/shell/command_line.h"

#include <system_error>

namespace vellum::system {

namespace {

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

bool StartDeviceProgram(Interpreter& ip, std::u16string_view program, std::u16string_view commandLine)
{
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(program);
    if (!host || !platform::IsExecutableFile(*host)) return false;
    return platform::StartDetached(*host, SplitCommandLine(commandLine), host->parent_path());
}

std::optional<std::filesystem::path> Opener() { return platform::FindOnPath("xdg-open"); }

bool IsAddress(std::u16string_view text)
{
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
    // One letter is not enough, so that "c:\file" stays a path.
    if (text.empty() || !IsLetter(text[0])) return false;
    for (size_t i = 1; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u':') return i >= 2;
        const bool schemeChar = IsLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!schemeChar) return false;
    }
    return false;
}

bool OpenWithOpener(Interpreter& ip, std::u16string_view target)
{
    const std::optional<std::filesystem::path> opener = Opener();
    if (!opener) return false;
    const std::optional<std::filesystem::path> root = ip.Paths().HostPath(u"\\");
    if (!root) return false;
    if (IsAddress(target)) return platform::StartDetached(*opener, {std::u16string(target)}, *root);
    const std::optional<std::filesystem::path> file = ip.Paths().HostPath(target);
    std::error_code error;
    if (!file || !std::filesystem::exists(*file, error)) return false;
    return platform::StartDetached(*opener, {platform::PathText(*file)}, *root);
}

} // namespace vellum::system
