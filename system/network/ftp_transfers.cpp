// FTPUpload and FTPDownload: whole files sent to and fetched from an FTP
// server, in passive binary mode, logged in as the script's user.
#include "system/files/script_file.h"
#include "system/natives.h"
#include "system/network/curl_transfer.h"
#include "system/network/transfer_url.h"
#include "system/network/wait_cursor.h"

#include "engine/core/table_iterator.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"

#include <string>
#include <vector>

namespace vellum::system {

namespace {

constexpr uint16_t kFtpPort = 21;
// The longest local path a fetch into a prefix may make.
constexpr size_t kMaxPath = 260;

// The server, user and password of a call (arguments 2, 4 and 5).
struct FtpServer {
    std::string base; // "ftp://host:port"
    std::optional<std::string> user, password;
};

// Nothing when the server or the login cannot be sent. An empty user name
// logs in anonymously.
std::optional<FtpServer> ServerOf(Interpreter& ip)
{
    const auto authority = ServerAuthority(ip.ArgText(2)->Utf16(), kFtpPort);
    const auto user = LoginText(ip.ArgText(4)->Utf16());
    const auto password = LoginText(ip.ArgText(5)->Utf16());
    if (!authority || !user || !password) return std::nullopt;
    FtpServer server{"ftp://" + *authority, std::nullopt, std::nullopt};
    if (!user->empty()) {
        server.user = user;
        server.password = password;
    }
    return server;
}

// One remote file into one local file; a refused local path fails before
// anything is fetched.
bool FetchOne(Interpreter& ip, CurlTransfer& session, const FtpServer& server, std::u16string_view remote,
              std::u16string_view local)
{
    const auto path = FtpUrlPath(remote);
    const auto host = ip.Paths().HostPath(local);
    return path && host && session.Fetch(server.base + *path, *host);
}

bool Upload(Interpreter& ip, std::u16string_view local, std::u16string_view remote)
{
    const auto server = ServerOf(ip);
    const auto path = FtpUrlPath(remote);
    if (!server || !path) return false;
    // The local file is opened first: when it is missing, nothing on the
    // server is touched.
    const auto host = ip.Paths().HostPath(local);
    const platform::OpenFile source = host ? platform::OpenFile::Open(*host, kReadAlone) : platform::OpenFile();
    if (!source) return false;
    CurlTransfer session(CurlTransfer::Protocol::ftp);
    if (!session) return false;
    session.SetLogin(server->user, server->password);
    return session.Send(server->base + *path, source.Handle());
}

// The names of a table of remote files, in its iteration order, empty
// ones left out.
std::vector<std::u16string> RemoteNames(Interpreter& ip, const TableObject& table)
{
    std::vector<std::u16string> names;
    TableIterator it(table);
    Value key, value;
    while (it.Next(key, value)) {
        std::u16string name(ip.ToString(value, false, true)->Utf16());
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

bool Download(Interpreter& ip, std::u16string_view local, const Value& remote)
{
    const auto server = ServerOf(ip);
    if (!server) return false;
    CurlTransfer session(CurlTransfer::Protocol::ftp);
    if (!session) return false;
    session.SetLogin(server->user, server->password);
    if (!remote.IsTable()) return FetchOne(ip, session, *server, ip.ToString(remote)->Utf16(), local);

    // A list: the local target is a prefix that each name completes. The
    // login is made first, so a server that refuses it fails the call
    // even when the list is empty.
    const std::vector<std::u16string> names = RemoteNames(ip, *remote.table);
    if (!session.Login(server->base + "/")) return false;
    for (const std::u16string& name : names) {
        const std::u16string target = std::u16string(local) + name;
        // A longer path would have to be cut and so name another file.
        if (target.size() > kMaxPath || !FetchOne(ip, session, *server, name, target)) return false;
    }
    return true;
}

} // namespace

uint32_t FTPUpload(Interpreter& ip)
{
    if (!ip.CheckArgs(5, -1)) return 0;
    const std::u16string local(ip.ArgText(1)->Utf16());
    const std::u16string remote(ip.ArgText(3)->Utf16());
    const WaitCursor wait;
    const bool sent = Upload(ip, local, remote);
    ip.PushBool(sent);
    return 1;
}

uint32_t FTPDownload(Interpreter& ip)
{
    if (!ip.CheckArgs(5, -1)) return 0;
    const std::u16string local(ip.ArgText(1)->Utf16());
    const WaitCursor wait;
    const bool fetched = Download(ip, local, ip.ArgValue(3));
    ip.PushBool(fetched);
    return 1;
}

} // namespace vellum::system
