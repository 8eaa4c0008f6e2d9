// Transfers through libcurl's easy interface.
#include "system/network/curl_transfer.h"

#include "system/files/script_file.h"

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

// Where fetched bytes go: the local file, opened when the first bytes come.
struct LocalTarget {
    explicit LocalTarget(const std::filesystem::path& path) : path(path) {}

    const std::filesystem::path& path;
    platform::OpenFile file;
    bool failed = false;

    bool Open()
    {
        file = platform::OpenFile::Open(path, kWriteEmptied);
        failed = !file;
        return !failed;
    }
    // Writes that went to the disk, checked once the file is complete.
    bool Finish()
    {
        if (file && (std::fflush(file.Handle()) != 0 || std::ferror(file.Handle()))) failed = true;
        file.Close();
        return !failed;
    }
};

// A short count tells libcurl to stop with a write error.
size_t WriteBlock(char* data, size_t size, size_t count, void* context)
{
    auto& target = *static_cast<LocalTarget*>(context);
    const size_t bytes = size * count;
    if (target.failed || (!target.file && !target.Open())) return 0;
    if (std::fwrite(data, 1, bytes, target.file.Handle()) != bytes) {
        target.failed = true;
        return 0;
    }
    return bytes;
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

} // namespace

CurlTransfer::CurlTransfer(Protocol protocol) : blockSize(protocol == Protocol::ftp ? kFtpBlock : kHttpBlock)
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
    if (protocol == Protocol::ftp) {
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

CurlTransfer::~CurlTransfer()
{
    if (handle != nullptr) curl_easy_cleanup(handle);
}

void CurlTransfer::SetLogin(const std::optional<std::string>& user, const std::optional<std::string>& password)
{
    curl_easy_setopt(handle, CURLOPT_USERNAME, user ? user->c_str() : nullptr);
    curl_easy_setopt(handle, CURLOPT_PASSWORD, password ? password->c_str() : nullptr);
}

bool CurlTransfer::Login(const std::string& url)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    const CURLcode result = curl_easy_perform(handle);
    curl_easy_setopt(handle, CURLOPT_NOBODY, 0L);
    return result == CURLE_OK;
}

bool CurlTransfer::Fetch(const std::string& url, const std::filesystem::path& local)
{
    LocalTarget target(local);
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBlock);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &target);
    const bool transferred = curl_easy_perform(handle) == CURLE_OK;
    // A complete transfer of nothing still makes the (empty) local file.
    if (transferred && !target.file && !target.failed) target.Open();
    return target.Finish() && transferred;
}

bool CurlTransfer::Send(const std::string& url, std::FILE* source)
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

long CurlTransfer::ResponseStatus() const
{
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

} // namespace vellum::system
