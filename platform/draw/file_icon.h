// The icon the desktop shows for a file, for views that draw a file's icon.
#pragma once

#include "platform/draw/picture.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vellum::platform {

// The file's icon at 32 pixels square, an Icon picture that lives as long
// as the program; none when the file does not exist or there is no GUI.
// Interface thread only.
const Picture* FileIcon(const std::filesystem::path& file);

// The index of the file's icon in the program's list of file icons: files
// of one type share an index, and a type gets the next index the first
// time one of its files is asked for. None when the file does not exist.
// Needs no GUI.
std::optional<int32_t> FileIconIndex(const std::filesystem::path& file);

} // namespace vellum::platform
