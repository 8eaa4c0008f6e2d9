// Opening the file a script names, always through the device folder.
#pragma once

#include "engine/core/value.h"
#include "platform/files/open_files.h"

#include <filesystem>
#include <optional>

namespace vellum {
class Interpreter;
}

namespace vellum::system {

using platform::FileAccess;
using platform::FileCreation;
using platform::FileSharing;

// The opens the file library uses.
inline constexpr platform::FileOpenMode kReadAlone{FileAccess::read, FileSharing::none, FileCreation::existingOnly};
inline constexpr platform::FileOpenMode kReadShared{FileAccess::read, FileSharing::readWrite,
                                                    FileCreation::existingOnly};
inline constexpr platform::FileOpenMode kWriteKeeping{FileAccess::write, FileSharing::none,
                                                      FileCreation::openOrCreate};
inline constexpr platform::FileOpenMode kWriteEmptied{FileAccess::write, FileSharing::none,
                                                      FileCreation::createOrTruncate};

// The host file a script value (taken as its unquoted text) names; nothing
// when the path leaves the device folder.
std::optional<std::filesystem::path> ScriptFilePath(Interpreter& ip, const Value& path);

// An empty OpenFile when the path is refused or the file cannot be opened.
platform::OpenFile OpenScriptFile(Interpreter& ip, const Value& path, platform::FileOpenMode mode);

} // namespace vellum::system
