// Call and SendSMS. A dialer or messaging program inside the device folder
// takes the request when there is one; otherwise the desktop gets a tel:
// or sms: address, which it hands to whatever program handles calls and
// messages. Nothing is reported either way.
#include "engine/core/unicode.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "system/natives.h"
#include "system/shell/device_registry.h"
#include "system/shell/program_start.h"

#include <fstream>
#include <system_error>

namespace vellum::system {

namespace {

constexpr size_t kMaxDialerCommand = 260;
constexpr size_t kMaxMessageCommand = 200;

// The number as the text of an address: unreserved characters and "+"
// stay, everything else is percent-encoded UTF-8.
std::u16string AddressText(std::u16string_view number)
{
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    std::u16string out;
    const std::u16string_view rest = number;
    for (size_t i = 0; i < rest.size(); ++i) {
        const char16_t c = rest[i];
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                           c == u'-' || c == u'.' || c == u'_' || c == u'~' || c == u'+';
        if (plain) {
            out += c;
            continue;
        }
        // One code point: a surrogate pair is encoded together.
        size_t units = 1;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < rest.size() && rest[i + 1] >= 0xDC00 && rest[i + 1] < 0xE000) units = 2;
        for (const unsigned char byte : ToUtf8(rest.substr(i, units))) {
            out += u'%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
        i += units - 1;
    }
    return out;
}

bool Readable(Interpreter& ip, std::u16string_view devicePath)
{
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(devicePath);
    std::error_code error;
    return host && std::filesystem::is_regular_file(*host, error) && std::ifstream(*host, std::ios::binary).is_open();
}

std::u16string DialerPath(Interpreter& ip)
{
    const RegistryFile registry = DeviceRegistry(ip);
    constexpr std::u16string_view key = u"HKEY_LOCAL_MACHINE\\Software\\Apps\\iDialer";
    // The program's directory is the device root, so "beside" it is the root too.
    const std::u16string directory = registry.HasKey(key) ? registry.String(key, u"InstallDir").value_or(u"") : u"\\iDialer";
    return directory + u"\\iDialer.exe";
}

} // namespace

uint32_t Call(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    const std::u16string name(ip.ArgText(1)->Utf16());
    const std::u16string number(ip.ArgText(2)->Utf16());
    const std::u16string dialer = DialerPath(ip);
    if (Readable(ip, dialer)) {
        const std::u16string command = number + u" -name=" + name;
        if (StartDeviceProgram(ip, dialer, std::u16string_view(command).substr(0, kMaxDialerCommand))) return 0;
    }
    OpenWithOpener(ip, u"tel:" + AddressText(number));
    return 0;
}

uint32_t SendSMS(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    const std::u16string name(ip.ArgText(1)->Utf16());
    const std::u16string number(ip.ArgText(2)->Utf16());
    const std::u16string command = u"-service \"SMS\" -to \"\\\"" + name + u"\\\" <" + number + u">\"";
    if (StartDeviceProgram(ip, u"\\Windows\\tmail.exe", std::u16string_view(command).substr(0, kMaxMessageCommand))) return 0;
    OpenWithOpener(ip, u"sms:" + AddressText(number));
    return 0;
}

} // namespace vellum::system
