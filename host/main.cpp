// The entry point: reads the command line and runs. A console run starts
// with the engine and the core library alone and loads the other libraries
// (and with them Qt) only when its script names one of their globals;
// every other run loads them at once (host/module/program.cpp).
#include "engine/core/terminal_text.h"
#include "engine/vm/interrupt.h"
#include "host/application.h"
#include "host/check_command.h"
#include "host/command_line.h"
#include "host/launch/library_loader.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"

#include <csignal>

#if defined(__SANITIZE_ADDRESS__)
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <thread>
#endif

namespace {

// Ctrl+C stops the script at its next instruction; the run unwinds, its
// files are closed, and the program ends with status 130. The handler is
// taken back as it runs, so a second Ctrl+C ends a script that waits
// outside the interpreter at once.
void StopOnCtrlC()
{
    struct sigaction action = {};
    action.sa_handler = [](int) { vellum::RequestStop(); };
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

int RunConsole(const vellum::CommandLine& options, int argc, char** argv)
{
    std::string error;
    const auto target = vellum::ResolveTarget(options, error);
    if (!target) {
        vellum::WriteText(stderr, "vellum: " + error + "\n");
        return 2;
    }
    vellum::platform::SetConsoleMode(true);
    // Outlives the application, whose interpreters use what it loads.
    vellum::LibraryLoader libraries(options, argc, argv);
    const vellum::platform::DeviceFolder folder(target->folder);
    vellum::Application application(folder, target->script,
                                    [&libraries](vellum::Interpreter& ip) { libraries.LoadOnDemand(ip); });
    StopOnCtrlC();
    return application.Run();
}

// Compiles without a window: libraries load only for the globals a script names.
int RunCheck(const vellum::CommandLine& options, int argc, char** argv)
{
    vellum::platform::SetConsoleMode(true);
    vellum::LibraryLoader libraries(options, argc, argv);
    return vellum::CheckScripts(options.checkFiles,
                                [&libraries](vellum::Interpreter& ip) { libraries.LoadOnDemand(ip); }, stdout);
}

#if defined(__SANITIZE_ADDRESS__)
// The leak check runs at exit and crashes by itself when it starts while a
// thread is still ending (it reads the thread's freed thread-local blocks);
// Qt's painting workers end only as the program exits. Registered first,
// this runs after every later exit step and before the check: it waits
// until the number of threads has stopped falling.
void LetEndingThreadsGo()
{
    const auto threads = [] {
        std::error_code ec;
        const std::filesystem::directory_iterator tasks("/proc/self/task", ec);
        return ec ? 0 : std::distance(tasks, std::filesystem::directory_iterator());
    };
    for (int tries = 0; tries < 500; ++tries) {
        const auto before = threads();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (threads() >= before) return;
    }
}
#endif

} // namespace

int main(int argc, char** argv)
{
#if defined(__SANITIZE_ADDRESS__)
    std::atexit(LetEndingThreadsGo);
#endif
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const vellum::ParsedCommandLine parsed = vellum::ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        vellum::WriteText(stderr, "vellum: " + parsed.error + "\n" + vellum::UsageText());
        return 2;
    }
    const vellum::CommandLine& options = parsed.options;
    if (options.help) {
        vellum::WriteText(stdout, vellum::UsageText());
        return 0;
    }
    if (options.version) {
        vellum::WriteText(stdout, "vellum " VELLUM_VERSION "\n");
        return 0;
    }
    if (options.check) return RunCheck(options, argc, argv);
    if (options.dap) {
        // The client's launch request names the script; the libraries are
        // loaded for whatever it runs.
        vellum::LibraryLoader libraries(options, argc, argv);
        const vellum::LibraryModule* module = libraries.Module();
        return module != nullptr ? module->runDebugAdapter(argc, argv) : 2;
    }
    // A screenshot or the Today screen needs windows from the start.
    if (options.console && !options.screenshot && !options.today) return RunConsole(options, argc, argv);
    vellum::LibraryLoader libraries(options, argc, argv);
    const vellum::LibraryModule* module = libraries.Module();
    return module != nullptr ? module->runProgram(options, argc, argv) : 2;
}
