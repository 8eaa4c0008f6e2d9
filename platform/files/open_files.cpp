// The program's table of held files and the opens that consult it.
#include "platform/files/open_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

namespace vellum::platform {

namespace {

struct Holders {
    int excluding = 0;
    int sharing = 0;
};

class HeldFiles {
public:
    bool Claim(const OpenFile::Key& key, FileSharing sharing)
    {
        const std::lock_guard lock(mutex);
        Holders& holders = held[key];
        const bool allowed = sharing == FileSharing::none ? holders.excluding + holders.sharing == 0
                                                          : holders.excluding == 0;
        if (!allowed) {
            if (holders.excluding + holders.sharing == 0) held.erase(key);
            return false;
        }
        ++(sharing == FileSharing::none ? holders.excluding : holders.sharing);
        return true;
    }

    void Release(const OpenFile::Key& key, FileSharing sharing)
    {
        const std::lock_guard lock(mutex);
        const auto found = held.find(key);
        if (found == held.end()) return;
        --(sharing == FileSharing::none ? found->second.excluding : found->second.sharing);
        if (found->second.excluding + found->second.sharing == 0) held.erase(found);
    }

    bool Held(const OpenFile::Key& key)
    {
        const std::lock_guard lock(mutex);
        return held.contains(key);
    }

private:
    std::mutex mutex;
    std::map<OpenFile::Key, Holders> held;
};

HeldFiles& Table()
{
    static HeldFiles table;
    return table;
}

} // namespace

OpenFile OpenFile::Open(const std::filesystem::path& path, FileOpenMode mode)
{
    // Without O_NONBLOCK, opening a pipe would wait for its other end; it is
    // refused below like every file that is not a regular one. Nothing is
    // truncated until the table has allowed the open.
    int flags = O_CLOEXEC | O_NONBLOCK | (mode.access == FileAccess::read ? O_RDONLY : O_WRONLY);
    if (mode.creation != FileCreation::existingOnly) flags |= O_CREAT;
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return {};
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {};
    }
    const Key key{status.st_dev, status.st_ino};
    if (!Table().Claim(key, mode.sharing)) {
        ::close(fd);
        return {};
    }
    const bool truncated = mode.creation != FileCreation::createOrTruncate || ::ftruncate(fd, 0) == 0;
    const int blocking = ::fcntl(fd, F_GETFL);
    std::FILE* handle = nullptr;
    if (truncated && blocking >= 0 && ::fcntl(fd, F_SETFL, blocking & ~O_NONBLOCK) == 0) {
        handle = ::fdopen(fd, mode.access == FileAccess::read ? "rb" : "wb");
    }
    if (handle == nullptr) {
        Table().Release(key, mode.sharing);
        ::close(fd);
        return {};
    }
    OpenFile opened;
    opened.file = handle;
    opened.key = key;
    opened.sharing = mode.sharing;
    return opened;
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : file(std::exchange(other.file, nullptr)), key(other.key), sharing(other.sharing)
{
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept
{
    if (this != &other) {
        Close();
        file = std::exchange(other.file, nullptr);
        key = other.key;
        sharing = other.sharing;
    }
    return *this;
}

void OpenFile::Close()
{
    if (file == nullptr) return;
    std::fclose(std::exchange(file, nullptr));
    Table().Release(key, sharing);
}

std::optional<FileTimes> TimesOf(const OpenFile& file)
{
    if (!file) return std::nullopt;
    const int fd = ::fileno(file.Handle());
    struct statx extended{};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &extended) == 0) {
        const statx_timestamp& created =
            (extended.stx_mask & STATX_BTIME) != 0 ? extended.stx_btime : extended.stx_ctime;
        return FileTimes{LocalTimeOf(extended.stx_mtime.tv_sec, extended.stx_mtime.tv_nsec),
                         LocalTimeOf(extended.stx_atime.tv_sec, extended.stx_atime.tv_nsec),
                         LocalTimeOf(created.tv_sec, created.tv_nsec)};
    }
    // Kernels and file systems without statx still have the basic times.
    struct stat status{};
    if (::fstat(fd, &status) != 0) return std::nullopt;
    return FileTimes{LocalTimeOf(status.st_mtim.tv_sec, status.st_mtim.tv_nsec),
                     LocalTimeOf(status.st_atim.tv_sec, status.st_atim.tv_nsec),
                     LocalTimeOf(status.st_ctim.tv_sec, status.st_ctim.tv_nsec)};
}

bool FileHeld(const std::filesystem::path& path)
{
    struct stat status{};
    return ::stat(path.c_str(), &status) == 0 && Table().Held(OpenFile::Key{status.st_dev, status.st_ino});
}

bool DeleteUnheldFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec) || FileHeld(path)) return false;
    return ::unlink(path.c_str()) == 0;
}

} // namespace vellum::platform
