// Files opened the handheld way: an open states who else may have the file
// open while it holds it, and an open that the holders forbid fails.
//
// The host's files know no sharing, so the program keeps its own table of
// the files it holds open, keyed by device and inode: an open that excludes
// sharing fails while any other open of the same file is held, and an open
// that shares reading and writing fails while an excluding one holds the
// file. The check runs on the file actually opened and before anything is
// truncated, so a refused open never changes the file.
#pragma once

#include "platform/desktop/local_time.h"

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace vellum::platform {

enum class FileAccess : uint8_t { read, write };
// Who else may open the file while this open holds it.
enum class FileSharing : uint8_t { none, readWrite };
enum class FileCreation : uint8_t { existingOnly, openOrCreate, createOrTruncate };

struct FileOpenMode {
    FileAccess access;
    FileSharing sharing;
    FileCreation creation;
};

class OpenFile {
public:
    OpenFile() = default;
    // Opens a regular file (never a directory, a pipe or a device) at byte 0;
    // an empty OpenFile when it cannot be had or a held open forbids it.
    static OpenFile Open(const std::filesystem::path& path, FileOpenMode mode);

    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    ~OpenFile() { Close(); }

    std::FILE* Handle() const { return file; }
    explicit operator bool() const { return file != nullptr; }
    // Closes the handle and gives up the file's place in the table.
    void Close();

    struct Key {
        dev_t device = 0;
        ino_t inode = 0;
        auto operator<=>(const Key&) const = default;
    };

private:
    std::FILE* file = nullptr;
    Key key;
    FileSharing sharing = FileSharing::none;
};

struct FileTimes {
    LocalTime lastWrite;
    LocalTime lastAccess;
    // The birth time where the file system keeps one, else the last change
    // of the file's status.
    LocalTime created;
};

std::optional<FileTimes> TimesOf(const OpenFile& file);

// Whether an open of this program holds the file at path. A writer that
// replaces the file instead of opening it asks first, as an exclusive open would.
bool FileHeld(const std::filesystem::path& path);

// Removes a file that no open of this program holds; false when it is held,
// is no file or cannot be removed.
bool DeleteUnheldFile(const std::filesystem::path& path);

} // namespace vellum::platform
