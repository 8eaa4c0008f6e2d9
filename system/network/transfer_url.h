// The addresses of the transfers: the server a script names (a host, and
// now also host:port) and remote names written into URLs so that every
// character of them reaches the server as the script wrote it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellum::system {

// "host:port" for a URL, the port defaulting to defaultPort; IPv6 addresses
// come bracketed. Nothing for a server text that is no host (empty, a bad
// port, or characters such as '/', '@' or spaces that would change the URL).
std::optional<std::string> ServerAuthority(std::u16string_view server, uint16_t defaultPort);

// A user name or password as the protocol sends it (UTF-8); nothing when
// it holds a control character, which would end an FTP command early.
std::optional<std::string> LoginText(std::u16string_view text);

// The URL path of an FTP file name: every character is taken literally.
// A name starting with '/' is absolute on the server, any other is taken
// from the login directory. Nothing for a name that cannot be a file
// (empty, ending in '/') or that holds a control character.
std::optional<std::string> FtpUrlPath(std::u16string_view remoteName);

// The URL path of an HTTP object ('/dir/page.html?q=1'): '?' starts the
// query and "%XX" stays an escape; spaces, '#', non-ASCII and the other
// characters a URL cannot carry are escaped. A leading '/' is added when
// the path lacks one.
std::string HttpUrlPath(std::u16string_view path);

} // namespace vellum::system
