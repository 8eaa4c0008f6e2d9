// The icon the desktop shows for a file, for views that draw a file's icon.
#pragma once

#include "platform/picture.h"

#include <filesystem>

namespace vellum::platform {

// The file's icon at 32 pixels square, an Icon picture that lives as long
// as the program; none when the file does not exist or there is no GUI.
// Interface thread only.
const Picture* FileIcon(const std::filesystem::path& file);

} // namespace vellum::platform
