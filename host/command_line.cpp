#include "host/command_line.h"

#include "engine/core/unicode.h"

#include <charconv>
#include <system_error>

namespace vellum {

namespace {

// The screen sizes and resolutions a device can have; beyond them a window
// would be useless or too large to make.
constexpr int32_t kMinScreenSide = 16;
constexpr int32_t kMaxScreenSide = 8192;
constexpr int32_t kMinDpi = 24;
constexpr int32_t kMaxDpi = 1200;

// A whole decimal number in [min, max], the whole text and nothing else.
std::optional<int32_t> Number(std::string_view text, int32_t min, int32_t max)
{
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty() || text[0] == '+') return std::nullopt;
    if (value < min || value > max) return std::nullopt;
    return value;
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CommandLine& options = parsed.options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        // An option's value follows it, or is joined to it with '='.
        std::optional<std::string> joined;
        if (const size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            joined = argument.substr(equals + 1);
            argument.resize(equals);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (joined) return joined;
            if (i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };
        const bool takesValue = argument == "--screenshot" || argument == "--screen" || argument == "--dpi";
        if (joined && !takesValue) {
            parsed.error = "option " + argument + " takes no value";
            return parsed;
        }
        if (argument == "--console") {
            options.console = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--today") {
            options.today = true;
        } else if (argument == "--dap") {
            options.dap = true;
        } else if (argument == "--check") {
            options.check = true;
        } else if (takesValue) {
            const auto given = value();
            if (!given) {
                parsed.error = "option " + argument + " needs a value";
                return parsed;
            }
            if (argument == "--screenshot") {
                if (given->empty()) {
                    parsed.error = "--screenshot needs a file name";
                    return parsed;
                }
                options.screenshot = std::filesystem::path(*given);
            } else if (argument == "--screen") {
                const size_t x = given->find_first_of("xX");
                const auto width = x == std::string::npos
                                       ? std::nullopt
                                       : Number(std::string_view(*given).substr(0, x), kMinScreenSide, kMaxScreenSide);
                const auto height = x == std::string::npos
                                        ? std::nullopt
                                        : Number(std::string_view(*given).substr(x + 1), kMinScreenSide, kMaxScreenSide);
                if (!width || !height) {
                    parsed.error = "--screen wants WIDTHxHEIGHT in pixels, each from " + std::to_string(kMinScreenSide) +
                                   " to " + std::to_string(kMaxScreenSide) + ", not '" + *given + "'";
                    return parsed;
                }
                options.screenWidth = *width;
                options.screenHeight = *height;
            } else {
                const auto dpi = Number(*given, kMinDpi, kMaxDpi);
                if (!dpi) {
                    parsed.error = "--dpi wants a whole number from " + std::to_string(kMinDpi) + " to " +
                                   std::to_string(kMaxDpi) + ", not '" + *given + "'";
                    return parsed;
                }
                options.dpi = *dpi;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            parsed.error = "unknown option " + argument;
            return parsed;
        } else if (options.check) {
            options.checkFiles.emplace_back(argument);
        } else if (options.target) {
            parsed.error = "only one script or folder can be given";
            return parsed;
        } else {
            options.target = std::filesystem::path(argument);
        }
    }
    if (options.check && options.target) {
        // Files named before --check are checked too.
        options.checkFiles.insert(options.checkFiles.begin(), *options.target);
        options.target.reset();
    }
    if (options.check && options.checkFiles.empty()) parsed.error = "--check needs the scripts to check";
    return parsed;
}

std::string UsageText()
{
    return "usage: vellum [options] [APP.q9c | FOLDER]\n"
           "Runs APP.q9c with its folder as the device folder, or FOLDER's default.q9c;\n"
           "without either, the default.q9c beside the program. Where there is no\n"
           "default.q9c the script editor opens (Ctrl+R or F5 runs, Ctrl+F finds,\n"
           "Ctrl+G goes to a line).\n"
           "  --console          message boxes and the error box use the terminal; forms\n"
           "                     still open when a display is there or QT_QPA_PLATFORM\n"
           "                     names a platform (offscreen runs them headless)\n"
           "  --screenshot FILE  save the first form's window (or the editor's) as PNG once\n"
           "                     it has painted, then close it (forms shown later close\n"
           "                     once painted)\n"
           "  --screen WxH       device screen size in pixels (default 480x640)\n"
           "  --dpi N            device dots per inch (default 192)\n"
           "  --today            run as the Today screen host\n"
           "  --check FILE...    compile the scripts without running them; each error is\n"
           "                     printed as FILE:LINE:COLUMN: error: MESSAGE, and the\n"
           "                     status is 1 when any script has one\n"
           "  --dap              a Debug Adapter Protocol server on standard input and\n"
           "                     output; the client's launch request names the script\n"
           "  --help, --version\n"
           "The script author's guide: /usr/share/doc/vellum when installed, docs/ in the\n"
           "source tree; the manual page: man vellum.\n";
}

std::optional<std::filesystem::path> ProgramFolder()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    return exe.parent_path();
}

std::optional<LaunchTarget> ResolveTarget(const CommandLine& options, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!options.target) {
        const auto folder = ProgramFolder();
        if (!folder) {
            error = "cannot find the program's own folder";
            return std::nullopt;
        }
        return LaunchTarget{*folder, u"default.q9c"};
    }
    const fs::path target = fs::absolute(*options.target, ec);
    if (fs::is_directory(target, ec)) return LaunchTarget{target, u"default.q9c"};
    if (fs::is_regular_file(target, ec)) return LaunchTarget{target.parent_path(), FromUtf8(target.filename().string())};
    error = "no such script or folder: " + options.target->string();
    return std::nullopt;
}

} // namespace vellum
