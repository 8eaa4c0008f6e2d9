// The program's side of the library module (host/module/library_module.h):
// finds it beside the program or in its installed folder, loads it once,
// and for a console run loads it only when the script names one of its
// globals.
#pragma once

#include "host/command_line.h"
#include "host/module/library_module.h"

namespace vellum {

class LibraryLoader {
public:
    LibraryLoader(const CommandLine& options, int argc, char** argv) : options(options), argc(argc), argv(argv) {}
    // Ends what the module started for a console run, before the program
    // unloads the libraries.
    ~LibraryLoader();
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    // The module, loaded on the first call; nullptr after writing why to
    // standard error when it cannot be loaded.
    const LibraryModule* Module();

    // Makes ip load the module and register its libraries the first time
    // its compiler meets one of the module's globals.
    void LoadOnDemand(Interpreter& ip);

private:
    CommandLine options;
    int argc;
    char** argv;
    const LibraryModule* module = nullptr;
    bool tried = false;
    bool consoleStarted = false;
};

} // namespace vellum
