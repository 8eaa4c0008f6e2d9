// ResolveLink: the program and arguments of a shortcut file, with shell ids
// looked up in the device's registry.
#include "engine/core/case_folding.h"
#include "engine/core/text_codec.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "system/natives.h"
#include "system/shell/device_registry.h"
#include "system/shell/shortcut.h"

namespace vellum::system {

namespace {

// The value is read into a buffer of 260 bytes, its terminator included.
constexpr size_t kMaxShellIdCommand = 260 / 2 - 1;

bool HasLinkExtension(std::u16string_view path)
{
    const size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    // The extension is ASCII: only ASCII letters may stand for it.
    return EqualsAsciiWord(path.substr(dot), u".lnk");
}

std::optional<std::vector<uint8_t>> ReadFile(Interpreter& ip, std::u16string_view path)
{
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(path);
    if (!host) return std::nullopt;
    return ReadWholeFile(*host);
}

} // namespace

uint32_t ResolveLink(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::u16string path(ip.ArgText(1)->Utf16());
    std::optional<Shortcut> shortcut;
    if (HasLinkExtension(path)) {
        if (const std::optional<std::vector<uint8_t>> bytes = ReadFile(ip, path)) {
            std::optional<RegistryFile> registry;
            const auto lookup = [&](std::u16string_view id) -> std::optional<std::u16string> {
                if (!registry) registry = DeviceRegistry(ip);
                const std::u16string key = u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Shell\\Rai\\" + std::u16string(id);
                std::optional<std::u16string> command = registry->String(key, u"1");
                if (command && command->size() > kMaxShellIdCommand) return std::nullopt;
                return command;
            };
            shortcut = ParseShortcut(ShortcutText(*bytes), lookup);
        }
    }
    if (!shortcut) {
        ip.PushString(path);
        return 1;
    }
    TableObject* result = ip.NewTable();
    ip.TableSet(result, u"program", ip.MakeString(shortcut->program));
    ip.TableSet(result, u"arguments", ip.MakeString(shortcut->arguments));
    ip.PushValue(Value::Table(result));
    return 1;
}

} // namespace vellum::system
