#include "engine/vm/path_resolver.h"

#include "engine/core/unicode.h"

#include <system_error>

namespace vellum {

std::optional<std::filesystem::path> PathResolver::HostPath(std::u16string_view scriptPath) const
{
    std::string path = ToUtf8(scriptPath);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return std::filesystem::path(path);
}

std::u16string PathResolver::ProgramDirectory() const
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return FromUtf8(exe.parent_path().string()) + u'/';
}

std::optional<std::u16string> PathResolver::DevicePath(const std::filesystem::path& hostPath) const
{
    return FromUtf8(hostPath.string());
}

std::u16string PathResolver::PathBesideProgram(std::u16string_view name) const
{
    constexpr size_t kMaxPath = 260;
    std::u16string path = ProgramDirectory();
    if (path.size() + name.size() < kMaxPath) path += name;
    return path;
}

} // namespace vellum
