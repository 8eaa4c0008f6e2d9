// The network module: transfers through libcurl's easy interface.
#include "system/network/curl_session.h"

#include "platform/modules/loadable_module.h"

#include <curl/curl.h>

#include <algorithm>

namespace vellum::system {

namespace {

constexpr long kConnectSeconds = 30;
constexpr long kReplySeconds = 60;
constexpr long kLowSpeedBytesPerSecond = 1;
constexpr long kLowSpeedSeconds = 60;
// The blocks each protocol copies in.
constexpr size_t kFtpBlock = 8192;
constexpr size_t kHttpBlock = 4096;

// libcurl's global set-up, once per process, before the first handle.
void InitialiseCurl()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// A short count tells libcurl to stop with a write error.
size_t WriteBlock(char* data, size_t size, size_t count, void* context)
{
    const auto& take = *static_cast<const std::function<bool(std::string_view)>*>(context);
    const size_t bytes = size * count;
    return take(std::string_view(data, bytes)) ? bytes : 0;
}

struct LocalSource {
    std::FILE* file;
    size_t blockSize;
    bool failed = false;
};

size_t ReadBlock(char* buffer, size_t size, size_t count, void* context)
{
    auto& source = *static_cast<LocalSource*>(context);
    const size_t read = std::fread(buffer, 1, std::min(size * count, source.blockSize), source.file);
    // A read that fails must not pass for the end of the file: the remote
    // file would be reported whole while it is cut short.
    if (read == 0 && std::ferror(source.file)) {
        source.failed = true;
        return CURL_READFUNC_ABORT;
    }
    return read;
}

class EasySession final : public CurlSession {
public:
    explicit EasySession(TransferProtocol protocol);
    EasySession(const EasySession&) = delete;
    EasySession& operator=(const EasySession&) = delete;
    ~EasySession() override;

    explicit operator bool() const { return handle != nullptr; }

    void SetLogin(const std::optional<std::string>& user, const std::optional<std::string>& password) override;
    bool Login(const std::string& url) override;
    bool Fetch(const std::string& url, const std::function<bool(std::string_view bytes)>& take) override;
    bool Send(const std::string& url, std::FILE* source) override;
    long ResponseStatus() const override;

private:
    CURL* handle = nullptr;
    size_t blockSize;
};

EasySession::EasySession(TransferProtocol protocol)
    : blockSize(protocol == TransferProtocol::ftp ? kFtpBlock : kHttpBlock)
{
    InitialiseCurl();
    handle = curl_easy_init();
    if (handle == nullptr) return;
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Vellum");
    // Direct, whatever proxy the environment names.
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, static_cast<long>(blockSize));
    // Remote names are the server's business: "." and ".." go as written.
    curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
    if (protocol == TransferProtocol::ftp) {
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, kReplySeconds);
    } else {
        // Redirects are followed as a browser would, never to another protocol
        // family, and the login never goes to another host.
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
    }
}

EasySession::~EasySession()
{
    if (handle != nullptr) curl_easy_cleanup(handle);
}

void EasySession::SetLogin(const std::optional<std::string>& user, const std::optional<std::string>& password)
{
    curl_easy_setopt(handle, CURLOPT_USERNAME, user ? user->c_str() : nullptr);
    curl_easy_setopt(handle, CURLOPT_PASSWORD, password ? password->c_str() : nullptr);
}

bool EasySession::Login(const std::string& url)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    const CURLcode result = curl_easy_perform(handle);
    curl_easy_setopt(handle, CURLOPT_NOBODY, 0L);
    return result == CURLE_OK;
}

bool EasySession::Fetch(const std::string& url, const std::function<bool(std::string_view bytes)>& take)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBlock);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &take);
    return curl_easy_perform(handle) == CURLE_OK;
}

bool EasySession::Send(const std::string& url, std::FILE* source)
{
    LocalSource from{source, blockSize};
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadBlock);
    curl_easy_setopt(handle, CURLOPT_READDATA, &from);
    const bool transferred = curl_easy_perform(handle) == CURLE_OK;
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 0L);
    return transferred && !from.failed;
}

long EasySession::ResponseStatus() const
{
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

std::unique_ptr<CurlSession> OpenSession(TransferProtocol protocol)
{
    auto session = std::make_unique<EasySession>(protocol);
    if (!*session) return nullptr;
    return session;
}

constexpr NetworkModule kModule{OpenSession};

} // namespace

} // namespace vellum::system

VELLUM_MODULE_ENTRY(vellum_network_module)
{
    return &vellum::system::kModule;
}
