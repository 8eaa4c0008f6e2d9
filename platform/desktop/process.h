// Starting programs of the host: detached, never waited for.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum::platform {

// Starts program with the arguments in its own session, in the given
// working directory, with standard input and output on the null device.
// The program is not waited for and leaves no zombie behind. True when it
// was started (its file could be executed).
bool StartDetached(const std::filesystem::path& program, const std::vector<std::u16string>& arguments,
                   const std::filesystem::path& workingDirectory);

// True when file is a regular file this process may execute.
bool IsExecutableFile(const std::filesystem::path& file);

// A host path as text, decoded the way the desktop decodes file names, for
// passing it as an argument or showing it.
std::u16string PathText(const std::filesystem::path& path);

// The first executable file called name in the directories of PATH; none
// when PATH has none (an empty PATH has none).
std::optional<std::filesystem::path> FindOnPath(std::string_view name);

} // namespace vellum::platform
