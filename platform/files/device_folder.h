// The device folder: one host folder stands for the handheld's root "\".
//
// Scripts name files with handheld paths: backslash (or slash) separators,
// absolute from "\", relative ones taken from "\" as well, since the device
// has no current directory. A path maps onto the folder with "." and ".."
// resolved so that they can never leave it, and with names matched without
// regard to case where no exact match exists. Nothing outside the folder
// can be reached: not by "..", not by absolute host paths, not through
// links that point elsewhere.
#pragma once

#include "engine/vm/path_resolver.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellum::platform {

class DeviceFolder final : public PathResolver {
public:
    // root must be an existing directory; it is made absolute and canonical.
    explicit DeviceFolder(const std::filesystem::path& root);

    // The host path of a script path, existing or not (a file about to be
    // made), or nothing when it would lie outside the folder.
    std::optional<std::filesystem::path> HostPath(std::u16string_view scriptPath) const override;
    // The program's own directory is the root: "\".
    std::u16string ProgramDirectory() const override { return u"\\"; }

    // The device path ("\dir\file") of a host path inside the folder.
    std::optional<std::u16string> DevicePath(const std::filesystem::path& hostPath) const override;

    const std::filesystem::path& Root() const { return root; }

private:
    std::filesystem::path root;
};

} // namespace vellum::platform
