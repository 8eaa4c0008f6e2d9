// The libraries beyond the core one live in a module of their own,
// loaded when a run needs them: a console script that names none of them
// starts without loading Qt, libcurl, D-Bus or ALSA at all.
#pragma once

namespace vellum {

class Interpreter;
struct CommandLine;

// What the module offers the program; all of it runs in the program's
// thread.
struct LibraryModule {
    // The whole program with windows (see RunProgram).
    int (*runProgram)(const CommandLine& options, int argc, char** argv);
    // Prepares a console run for the libraries (see StartConsoleLibraries).
    void (*startConsole)(const CommandLine& options, int argc, char** argv);
    // Registers the libraries into an interpreter, in the program's order.
    void (*registerLibraries)(Interpreter& ip);
    void (*finishConsole)();
    // The Debug Adapter Protocol server of --dap (see RunDebugAdapter).
    int (*runDebugAdapter)(int argc, char** argv);
};

// The name of the module's one exported function, which gives its LibraryModule.
inline constexpr char kLibraryModuleEntry[] = "vellum_library_module";
using LibraryModuleEntry = const LibraryModule* (*)();

} // namespace vellum
