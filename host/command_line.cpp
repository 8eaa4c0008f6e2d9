#include "host/command_line.h"

namespace vellum {

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    CommandLine& options = parsed.options;
    for (const std::string& argument : arguments) {
        if (argument == "--console") {
            options.console = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            parsed.error = "unknown option " + argument;
            return parsed;
        } else if (options.target) {
            parsed.error = "only one script or folder can be given";
            return parsed;
        } else {
            options.target = std::filesystem::path(argument);
        }
    }
    return parsed;
}

std::string UsageText()
{
    return "usage: vellum [options] [APP.q9c | FOLDER]\n"
           "Runs APP.q9c with its folder as the device folder, or FOLDER's default.q9c;\n"
           "without either, the default.q9c beside the program.\n"
           "  --console          message boxes and the error box use the terminal\n"
           "  --help, --version\n";
}

} // namespace vellum
