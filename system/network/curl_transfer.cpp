// The transfers' side of the network module: loads it once, and writes
// what a fetch delivers to the local file.
#include "system/network/curl_transfer.h"

#include "platform/modules/loadable_module.h"
#include "system/files/script_file.h"

namespace vellum::system {

namespace {

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
    bool Write(std::string_view bytes)
    {
        if (failed || (!file && !Open())) return false;
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.Handle()) != bytes.size()) failed = true;
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

} // namespace

CurlTransfer::CurlTransfer(Protocol protocol)
{
    static const auto* const module = platform::LoadModule<NetworkModule>(kNetworkModuleFile, kNetworkModuleEntry);
    if (module != nullptr) session = module->open(protocol);
}

bool CurlTransfer::Fetch(const std::string& url, const std::filesystem::path& local)
{
    LocalTarget target(local);
    const bool transferred = session->Fetch(url, [&target](std::string_view bytes) { return target.Write(bytes); });
    // A complete transfer of nothing still makes the (empty) local file.
    if (transferred && !target.file && !target.failed) target.Open();
    return target.Finish() && transferred;
}

} // namespace vellum::system
