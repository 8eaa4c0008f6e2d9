// Server names and remote paths made into URL pieces.
#include "system/network/transfer_url.h"

#include "engine/core/unicode.h"

#include <algorithm>
#include <charconv>

namespace vellum::system {

namespace {

bool IsAsciiAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsUnreserved(unsigned char c) { return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

bool IsHex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

void AppendEscaped(std::string& out, unsigned char c)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
}

// A host name's characters: letters, digits, '-', '.', '_' and anything
// beyond ASCII (internationalised names).
bool IsHostName(std::string_view host)
{
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c >= 0x80;
    });
}

bool IsIpv6Literal(std::string_view address)
{
    return address.find(':') != std::string_view::npos && std::all_of(address.begin(), address.end(), [](char c) {
               return IsHex(static_cast<unsigned char>(c)) || c == ':' || c == '.';
           });
}

std::optional<uint16_t> PortNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool HasControl(std::u16string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

} // namespace

std::optional<std::string> ServerAuthority(std::u16string_view server, uint16_t defaultPort)
{
    const std::string text = ToUtf8(server);
    std::string_view host = text;
    std::optional<uint16_t> port = defaultPort;
    bool ipv6 = false;
    if (host.starts_with('[')) {
        // [address] or [address]:port
        const size_t close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view rest = host.substr(close + 1);
        if (!rest.empty()) port = rest.starts_with(':') ? PortNumber(rest.substr(1)) : std::nullopt;
        host = host.substr(1, close - 1);
        ipv6 = true;
    } else if (std::count(host.begin(), host.end(), ':') == 1) {
        const size_t colon = host.find(':');
        port = PortNumber(host.substr(colon + 1));
        host = host.substr(0, colon);
    } else {
        // Two colons or more: an IPv6 address without a port.
        ipv6 = host.find(':') != std::string_view::npos;
    }
    if (!port || !(ipv6 ? IsIpv6Literal(host) : IsHostName(host))) return std::nullopt;
    std::string authority = ipv6 ? "[" + std::string(host) + "]" : std::string(host);
    return authority + ":" + std::to_string(*port);
}

std::optional<std::string> LoginText(std::u16string_view text)
{
    if (HasControl(text)) return std::nullopt;
    return ToUtf8(text);
}

std::optional<std::string> FtpUrlPath(std::u16string_view remoteName)
{
    if (remoteName.empty() || remoteName.ends_with(u'/') || HasControl(remoteName)) return std::nullopt;
    const std::string name = ToUtf8(remoteName);
    // "/%2F" makes the first directory change absolute; a plain "/" only
    // separates the host from a path taken from the login directory.
    std::string out = name.starts_with('/') ? "/%2F" : "/";
    for (size_t i = name.starts_with('/') ? 1 : 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (IsUnreserved(c) || c == '/') out += static_cast<char>(c);
        else AppendEscaped(out, c);
    }
    return out;
}

std::string HttpUrlPath(std::u16string_view path)
{
    static constexpr std::string_view kKept = "/?!$&'()*+,;=:@";
    const std::string text = ToUtf8(path);
    std::string out = text.starts_with('/') ? "" : "/";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool escape = c == '%' && i + 2 < text.size() && IsHex(static_cast<unsigned char>(text[i + 1])) &&
                            IsHex(static_cast<unsigned char>(text[i + 2]));
        if (IsUnreserved(c) || kKept.find(static_cast<char>(c)) != std::string_view::npos || escape)
            out += static_cast<char>(c);
        else AppendEscaped(out, c);
    }
    return out;
}

} // namespace vellum::system
