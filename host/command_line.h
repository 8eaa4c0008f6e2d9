// The program's command line: vellum [options] [APP.q9c | FOLDER].
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vellum {

struct CommandLine {
    bool console = false;
    bool help = false;
    bool version = false;
    bool today = false;
    // --dap: a Debug Adapter Protocol server on standard input and output.
    bool dap = false;
    // --screenshot FILE: the first form is saved there once painted.
    std::optional<std::filesystem::path> screenshot;
    // --screen WxH and --dpi N: the device screen.
    int32_t screenWidth = 480;
    int32_t screenHeight = 640;
    int32_t dpi = 192;
    // The script or folder named on the command line, as given.
    std::optional<std::filesystem::path> target;
    // --check FILE...: the scripts to compile without running them.
    bool check = false;
    std::vector<std::filesystem::path> checkFiles;
};

// The parsed options, or a one-line complaint about them.
struct ParsedCommandLine {
    CommandLine options;
    std::string error;
};
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The folder the running program is in, if the system tells.
std::optional<std::filesystem::path> ProgramFolder();

// The device folder and the start-up script's name a command line names:
// the folder and "default.q9c" for a folder (the program's own folder when
// none is named), the script's folder and name for a script.
struct LaunchTarget {
    std::filesystem::path folder;
    std::u16string script;
};
// The target, or nothing with a one-line complaint in error.
std::optional<LaunchTarget> ResolveTarget(const CommandLine& options, std::string& error);

// The usage text of --help.
std::string UsageText();

} // namespace vellum
