// How the engine reaches files named by scripts. The engine alone takes a
// script path as a host path; the host maps script paths onto its device
// folder instead and refuses paths that would leave it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vellum {

class PathResolver {
public:
    virtual ~PathResolver() = default;
    // The host file a script path names, or nothing when it may not be reached.
    virtual std::optional<std::filesystem::path> HostPath(std::u16string_view scriptPath) const;
    // The program's own directory as scripts see it, ending in a separator.
    virtual std::u16string ProgramDirectory() const;
    // The script path of a host path: how a path is handed back to scripts.
    // Nothing when scripts may not see it.
    virtual std::optional<std::u16string> DevicePath(const std::filesystem::path& hostPath) const;

    // The program's directory followed by name; the directory alone when
    // the two together would not fit a path of 260 units.
    std::u16string PathBesideProgram(std::u16string_view name) const;
};

} // namespace vellum
