// HTTPDownload: one object fetched from a web server with a GET.
#include "system/natives.h"
#include "system/network/curl_transfer.h"
#include "system/network/transfer_url.h"
#include "system/network/wait_cursor.h"

#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"

#include <string>

namespace vellum::system {

namespace {

constexpr uint16_t kHttpPort = 80;

// The login of arguments 4 and 5, each only when given; false when one
// cannot be sent.
bool ReadLogin(Interpreter& ip, std::optional<std::string>& user, std::optional<std::string>& password)
{
    const int given = ip.ArgCount() - 1;
    if (given >= 4 && !(user = LoginText(ip.ArgText(4)->Utf16()))) return false;
    if (given >= 5 && !(password = LoginText(ip.ArgText(5)->Utf16()))) return false;
    // An empty user name sends no authorisation at all.
    if (user && user->empty()) {
        user.reset();
        password.reset();
    }
    return true;
}

} // namespace

// An error status (4xx, 5xx) fails the download; the error page the
// server sent stays in the file, where the user can read what went wrong.
uint32_t HTTPDownload(Interpreter& ip)
{
    if (!ip.CheckArgs(3, 5)) return 0;
    const auto host = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    const auto authority = ServerAuthority(ip.ArgText(2)->Utf16(), kHttpPort);
    const std::string path = HttpUrlPath(ip.ArgText(3)->Utf16());
    std::optional<std::string> user, password;
    const bool readable = ReadLogin(ip, user, password);

    const WaitCursor wait;
    bool fetched = false;
    if (host && authority && readable) {
        CurlTransfer session(CurlTransfer::Protocol::http);
        if (session) {
            session.SetLogin(user, password);
            fetched = session.Fetch("http://" + *authority + path, *host) && session.ResponseStatus() < 400;
        }
    }
    ip.PushBool(fetched);
    return 1;
}

} // namespace vellum::system
