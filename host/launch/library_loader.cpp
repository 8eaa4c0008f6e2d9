#include "host/launch/library_loader.h"

#include "engine/core/terminal_text.h"
#include "engine/vm/interpreter.h"
#include "host/command_line.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace vellum {

namespace {

namespace fs = std::filesystem;

// Sorted: the globals the module registers or replaces.
constexpr std::u16string_view kLibraryGlobals[] = {
#include "library_globals.inc"
};

constexpr char kModuleFile[] = "vellum-libraries.so";

// Beside the program in the build tree; in its own folder once installed.
std::vector<fs::path> ModuleCandidates()
{
    const auto programFolder = ProgramFolder();
    if (!programFolder) return {};
    return {*programFolder / kModuleFile, *programFolder / VELLUM_MODULE_FOLDER_FROM_PROGRAM / kModuleFile};
}

bool NamesLibraryGlobal(std::u16string_view name)
{
    return std::binary_search(std::begin(kLibraryGlobals), std::end(kLibraryGlobals), name);
}

} // namespace

LibraryLoader::~LibraryLoader()
{
    if (consoleStarted) module->finishConsole();
}

const LibraryModule* LibraryLoader::Module()
{
    if (tried) return module;
    tried = true;
    std::string why = "not found";
    for (const fs::path& candidate : ModuleCandidates()) {
        std::error_code ec;
        if (!fs::exists(candidate, ec)) continue;
        // Never unloaded: Qt and the libraries it loads stay until the end.
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            why = dlerror();
            break;
        }
        const auto entry = reinterpret_cast<LibraryModuleEntry>(dlsym(handle, kLibraryModuleEntry));
        if (entry == nullptr) {
            why = candidate.string() + " has no " + kLibraryModuleEntry;
            break;
        }
        module = entry();
        return module;
    }
    WriteText(stderr, "vellum: cannot load the libraries (" + std::string(kModuleFile) + "): " + why + "\n");
    return nullptr;
}

void LibraryLoader::LoadOnDemand(Interpreter& ip)
{
    ip.SetMissingGlobalHook([this](Interpreter& ip, std::u16string_view name) {
        if (!NamesLibraryGlobal(name)) return;
        ip.SetMissingGlobalHook(nullptr);
        if (Module() == nullptr) return;
        if (!consoleStarted) {
            module->startConsole(options, argc, argv);
            consoleStarted = true;
        }
        module->registerLibraries(ip);
    });
}

} // namespace vellum
