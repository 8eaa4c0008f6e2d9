// Transfers against real servers started on loopback for each test: vsftpd
// for FTP (anonymous login checked against a password list, uploads
// allowed) and a small server built on Python's http.server for HTTP, with
// basic authentication under /private/ and /header/NAME, which answers with
// the request's header NAME.
#include "platform/window/cursor.h"
#include "system_harness.h"

#include <QCursor>
#include <QGuiApplication>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellum::test {

namespace {

namespace fs = std::filesystem;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// A port nobody listens on at this moment.
int FreePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

bool Accepts(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool connected = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return connected;
}

// Every byte value, in a length that is no multiple of a copy block.
std::string Pattern(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

// A server process in a process group of its own, so that stopping it
// also ends the children it forked for its sessions.
class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { Stop(); }

    bool Start(const std::vector<std::string>& arguments, const fs::path& log)
    {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid = ::fork();
        if (pid == 0) {
            // Only calls that are safe between fork and exec.
            ::setpgid(0, 0);
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (pid > 0) ::setpgid(pid, pid); // the group is there before Stop signals it
        return pid > 0;
    }
    void Stop()
    {
        if (pid <= 0) return;
        ::kill(-pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

private:
    pid_t pid = 0;
};

// A device folder and a folder of server files beside it.
class LoopbackTest : public SystemHarness {
protected:
    bool Exists(const fs::path& relative) const { return fs::exists(folder / relative); }
    std::string Local(const fs::path& relative) const { return ReadText(folder / relative); }

    const fs::path& serverFolder = outside;
    ServerProcess server;
};

// ---------------------------------------------------------------- FTP ----

constexpr const char* kFtpPassword = "se cret:#1";

class FtpTest : public LoopbackTest {
protected:
    void SetUp() override
    {
        const fs::path vsftpd = "/usr/sbin/vsftpd";
        if (!fs::exists(vsftpd)) GTEST_SKIP() << "vsftpd is not installed (scripts/setup installs it)";
        root = serverFolder / "files";
        fs::create_directories(root / "in");
        fs::create_directories(serverFolder / "empty");
        WriteFile(serverFolder / "passwords", std::string(kFtpPassword) + "\n");
        port = FreePort();
        // Anonymous logins only, each checked against the password list:
        // the one kind of login vsftpd grants without system accounts.
        std::ofstream(serverFolder / "vsftpd.conf")
            << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port
            << "\nbackground=NO\nrun_as_launching_user=YES\nanonymous_enable=YES\nlocal_enable=NO\n"
               "secure_email_list_enable=YES\nemail_password_file="
            << (serverFolder / "passwords").string() << "\nanon_root=" << root.string()
            << "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
               "delay_failed_login=0\npasv_enable=YES\nseccomp_sandbox=NO\nsession_support=NO\nxferlog_enable=NO\nsecure_chroot_dir="
            << (serverFolder / "empty").string() << "\n";
        ASSERT_TRUE(server.Start({vsftpd.string(), (serverFolder / "vsftpd.conf").string()}, serverFolder / "log"));
        ASSERT_TRUE(Eventually([&] { return Accepts(port); })) << ReadText(serverFolder / "log");
        server_ = "'127.0.0.1:" + std::to_string(port) + "'";
        login = ", 'anonymous', '" + std::string(kFtpPassword) + "')";
    }

    std::string Upload(const std::string& local, const std::string& remote)
    {
        return Eval("FTPUpload('" + local + "', " + server_ + ", '" + remote + "'" + login);
    }
    std::string Download(const std::string& local, const std::string& remote)
    {
        return Eval("FTPDownload('" + local + "', " + server_ + ", " + remote + login);
    }

    fs::path root;
    int port = 0;
    std::string server_, login;
};

TEST_F(FtpTest, UploadsWholeFilesAndEmptyOnes)
{
    const std::string data = Pattern(20000);
    WriteFile(folder / "data.bin", data);
    EXPECT_EQ(Upload("\\data.bin", "in/data file #1.bin"), "true");
    EXPECT_EQ(ReadText(root / "in" / "data file #1.bin"), data);

    // A name from '/' is absolute on the server.
    WriteFile(folder / "sub" / "empty.txt", "");
    EXPECT_EQ(Upload("sub\\empty.txt", (root / "in" / "nothing.txt").string()), "true");
    ASSERT_TRUE(fs::exists(root / "in" / "nothing.txt"));
    EXPECT_EQ(fs::file_size(root / "in" / "nothing.txt"), 0u);

    // A missing local file fails before anything on the server is made.
    EXPECT_EQ(Upload("\\missing.txt", "in/missing.txt"), "false");
    EXPECT_FALSE(fs::exists(root / "in" / "missing.txt"));
    // A path cannot climb out of the device folder to find a file.
    WriteFile(serverFolder / "secret.txt", "secret");
    const std::string outside = "..\\..\\..\\..\\..\\" + serverFolder.filename().string() + "\\secret.txt";
    EXPECT_EQ(Upload(outside, "in/secret.txt"), "false");
    EXPECT_FALSE(fs::exists(root / "in" / "secret.txt"));
    // A directory that does not exist on the server.
    EXPECT_EQ(Upload("\\data.bin", "nowhere/data.bin"), "false");
}

TEST_F(FtpTest, DownloadsOneFileOrAListIntoAPrefix)
{
    const std::string data = Pattern(30000);
    WriteFile(root / "a b#1.bin", data);
    WriteFile(root / "one.txt", "first");
    WriteFile(root / "two.txt", "second");
    WriteFile(root / "empty.txt", "");

    EXPECT_EQ(Download("\\got.bin", "'a b#1.bin'"), "true");
    EXPECT_EQ(Local("got.bin"), data);
    WriteFile(folder / "old.txt", "kept");
    EXPECT_EQ(Download("\\old.txt", "'empty.txt'"), "true");
    EXPECT_EQ(Local("old.txt"), "");

    // The prefix is followed directly by each name; empty names are skipped.
    fs::create_directories(folder / "dir");
    EXPECT_EQ(Download("\\dir\\", "{'one.txt', '', 'two.txt'}"), "true");
    EXPECT_EQ(Local("dir/one.txt"), "first");
    EXPECT_EQ(Download("\\pre_", "{'one.txt'}"), "true");
    EXPECT_EQ(Local("pre_one.txt"), "first");
    EXPECT_EQ(Download("\\dir\\", "{}"), "true");

    // The list stops at the first name the server does not have.
    fs::create_directories(folder / "stop");
    EXPECT_EQ(Download("\\stop\\", "{'one.txt', 'missing.txt', 'two.txt'}"), "false");
    EXPECT_EQ(Local("stop/one.txt"), "first");
    EXPECT_FALSE(Exists("stop/missing.txt"));

    // A missing remote file leaves the local file as it was.
    WriteFile(folder / "keep.txt", "mine");
    EXPECT_EQ(Download("\\keep.txt", "'missing.txt'"), "false");
    EXPECT_EQ(Local("keep.txt"), "mine");
    // A local directory that does not exist.
    EXPECT_EQ(Download("\\no\\such\\dir\\one.txt", "'one.txt'"), "false");
}

TEST_F(FtpTest, RefusedLoginsAndUnreachableServersFail)
{
    WriteFile(root / "one.txt", "first");
    WriteFile(folder / "up.txt", "up");
    // A wrong password, and a server that is not there. The login comes
    // first, so even an empty list fails.
    const std::string closed = "'127.0.0.1:" + std::to_string(FreePort()) + "'";
    const std::string wrong = ", 'anonymous', 'wrong')";
    for (const auto& [host, logIn] : {std::pair{server_, wrong}, {closed, login}}) {
        EXPECT_EQ(Eval("FTPDownload('\\got.txt', " + host + ", 'one.txt'" + logIn), "false") << host;
        EXPECT_EQ(Eval("FTPDownload('\\', " + host + ", {}" + logIn), "false") << host;
        EXPECT_EQ(Eval("FTPUpload('\\up.txt', " + host + ", 'in/up.txt'" + logIn), "false") << host;
    }
    // Server texts that are no host name fail without a connection.
    for (const std::string bad : {"'127.0.0.1:0'", "'127.0.0.1:99999'", "'user@127.0.0.1'", "'127.0.0.1/x'", "''"})
        EXPECT_EQ(Eval("FTPDownload('\\got.txt', " + bad + ", 'one.txt'" + login), "false") << bad;
    // A line break in a name would end the FTP command early.
    EXPECT_EQ(Eval("FTPDownload('\\got.txt', " + server_ + ", 'one.txt\nDELE one.txt'" + login), "false");
    EXPECT_TRUE(fs::exists(root / "one.txt"));

    EXPECT_EQ(Run("FTPUpload(1, 2, 3, 4)"), "!errFewArguments");
    EXPECT_EQ(Run("FTPDownload(1, 2, 3, 4, 5, 6)"), "!errManyArguments");
}

// --------------------------------------------------------------- HTTP ----

constexpr const char* kHttpServer = R"(import base64, functools, http.server, os, sys
root, port_file, user, password = sys.argv[1:5]
expected = 'Basic ' + base64.b64encode((user + ':' + password).encode()).decode()

class Handler(http.server.SimpleHTTPRequestHandler):
    def reply(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path.startswith('/header/'):
            return self.reply(200, self.headers.get(self.path[len('/header/'):], 'none').encode())
        if self.path.startswith('/private/') and self.headers.get('Authorization') != expected:
            return self.reply(401, b'login needed', [('WWW-Authenticate', 'Basic realm="test"')])
        super().do_GET()

server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=root))
with open(port_file + '.part', 'w') as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + '.part', port_file)
server.serve_forever()
)";

class HttpTest : public LoopbackTest {
protected:
    void SetUp() override
    {
        root = serverFolder / "www";
        fs::create_directories(root);
        WriteFile(serverFolder / "server.py", kHttpServer);
        const fs::path portFile = serverFolder / "port";
        ASSERT_TRUE(server.Start({"/usr/bin/python3", (serverFolder / "server.py").string(), root.string(),
                                  portFile.string(), "us er", "p@ss:w rd"},
                                 serverFolder / "log"));
        ASSERT_TRUE(Eventually([&] { return fs::exists(portFile); })) << ReadText(serverFolder / "log");
        port = std::stoi(ReadText(portFile));
        ASSERT_TRUE(Eventually([&] { return Accepts(port); }));
        server_ = "'127.0.0.1:" + std::to_string(port) + "'";
    }

    std::string Get(const std::string& local, const std::string& path, const std::string& login = "")
    {
        return Eval("HTTPDownload('" + local + "', " + server_ + ", '" + path + "'" + login + ")");
    }

    fs::path root;
    int port = 0;
    std::string server_;
};

TEST_F(HttpTest, DownloadsPagesWhole)
{
    const std::string data = Pattern(50000);
    WriteFile(root / "dir" / "a b#1.bin", data);
    EXPECT_EQ(Get("\\page.bin", "/dir/a b#1.bin"), "true");
    EXPECT_EQ(Local("page.bin"), data);
    // An escape stays an escape, a query is no part of the name, and a
    // path without its leading '/' gets one.
    EXPECT_EQ(Get("\\escaped.bin", "/dir/a%20b%231.bin?x=1"), "true");
    EXPECT_EQ(Local("escaped.bin"), data);
    WriteFile(root / "empty.html", "");
    WriteFile(folder / "old.html", "old");
    EXPECT_EQ(Get("old.html", "empty.html"), "true");
    EXPECT_EQ(Local("old.html"), "");
    EXPECT_EQ(Get("\\agent.txt", "/header/User-Agent"), "true");
    EXPECT_EQ(Local("agent.txt"), "Vellum");
}

TEST_F(HttpTest, SendsTheLoginOnlyWhenGiven)
{
    // A user without a password logs in as "bob:"; a password without a user is no login.
    for (const auto& [logIn, sent] :
         {std::pair{"", "none"}, {", 'bob'", "Basic Ym9iOg=="}, {", '', 'ignored'", "none"}}) {
        EXPECT_EQ(Get("\\who.txt", "/header/Authorization", logIn), "true");
        EXPECT_EQ(Local("who.txt"), sent) << logIn;
    }

    WriteFile(root / "private" / "page.html", "private page");
    EXPECT_EQ(Get("\\private.html", "/private/page.html", ", 'us er', 'p@ss:w rd'"), "true");
    EXPECT_EQ(Local("private.html"), "private page");
    // A refused login is an error status: false, with the server's page kept.
    EXPECT_EQ(Get("\\refused.html", "/private/page.html", ", 'us er', 'wrong'"), "false");
    EXPECT_EQ(Local("refused.html"), "login needed");
}

TEST_F(HttpTest, ErrorsFailUnreachableServersLeaveNoFileAndTheCursorComesBack)
{
    int argc = 1;
    char name[] = "system_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    platform::ReplaceCursor(platform::CursorShape::Hand);
    EXPECT_EQ(Get("\\missing.html", "/missing.html"), "false");
    EXPECT_NE(Local("missing.html").find("404"), std::string::npos);

    const std::string closed = "'127.0.0.1:" + std::to_string(FreePort()) + "'";
    EXPECT_EQ(Eval("HTTPDownload('\\none.html', " + closed + ", '/')"), "false");
    EXPECT_FALSE(Exists("none.html"));

    // A download cannot write outside the device folder: the climbing
    // path stays inside it.
    WriteFile(root / "page.html", "page");
    const std::string climbing = "..\\..\\..\\..\\" + serverFolder.filename().string() + "\\stolen.html";
    Get(climbing, "/page.html");
    EXPECT_FALSE(fs::exists(serverFolder / "stolen.html"));

    EXPECT_EQ(Run("HTTPDownload(1, 2)"), "!errFewArguments");
    EXPECT_EQ(Run("HTTPDownload(1, 2, 3, 4, 5, 6)"), "!errManyArguments");
    // Whatever the transfers ended with, the cursor from before them is back.
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    platform::RestoreCursor(platform::CursorShape::Arrow);
}

TEST_F(HttpTest, AFailedLocalWriteFailsTheDownload)
{
    WriteFile(root / "big.bin", Pattern(200000));
    // The file size limit stands in for a full disk: writes past it fail.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 10000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string result = Get("\\big.bin", "/big.bin");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, "false");
}

} // namespace
} // namespace vellum::test
