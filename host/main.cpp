// The entry point: reads the command line and runs. A console run starts
// with the engine and the core library alone and loads the other libraries
// (and with them Qt) only when its script names one of their globals;
// every other run loads them at once (host/module/program.cpp).
#include "host/application.h"
#include "host/command_line.h"
#include "host/launch/library_loader.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"

#include <iostream>

namespace {

int RunConsole(const vellum::CommandLine& options, int argc, char** argv)
{
    std::string error;
    const auto target = vellum::ResolveTarget(options, error);
    if (!target) {
        std::cerr << "vellum: " << error << "\n";
        return 2;
    }
    vellum::platform::SetConsoleMode(true);
    // Outlives the application, whose interpreters use what it loads.
    vellum::LibraryLoader libraries(options, argc, argv);
    const vellum::platform::DeviceFolder folder(target->folder);
    vellum::Application application(folder, target->script,
                                    [&libraries](vellum::Interpreter& ip) { libraries.LoadOnDemand(ip); });
    return application.Run();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const vellum::ParsedCommandLine parsed = vellum::ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        std::cerr << "vellum: " << parsed.error << "\n" << vellum::UsageText();
        return 2;
    }
    const vellum::CommandLine& options = parsed.options;
    if (options.help) {
        std::cout << vellum::UsageText();
        return 0;
    }
    if (options.version) {
        std::cout << "vellum " << VELLUM_VERSION << "\n";
        return 0;
    }
    // A screenshot or the Today screen needs windows from the start.
    if (options.console && !options.screenshot && !options.today) return RunConsole(options, argc, argv);
    vellum::LibraryLoader libraries(options, argc, argv);
    const vellum::LibraryModule* module = libraries.Module();
    return module != nullptr ? module->runProgram(options, argc, argv) : 2;
}
