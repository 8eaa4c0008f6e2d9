#include "platform/modules/loadable_module.h"

#include "engine/core/terminal_text.h"

#include <dlfcn.h>

#include <string>

namespace vellum::platform {

namespace {

// The folder of the shared library this code is part of, with its closing
// slash; the modules are installed and built beside it. The dynamic
// loader's own search is not used: it depends on the run paths of whichever
// object asks, which differ between the program, its tests and a package.
std::string OwnLibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&LoadModuleEntry), &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

const void* LoadModuleEntry(const char* file, const char* entry)
{
    const std::string path = OwnLibraryFolder() + file;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::string why;
    if (handle == nullptr) {
        why = dlerror();
    } else if (const auto function = reinterpret_cast<const void* (*)()>(dlsym(handle, entry))) {
        return function();
    } else {
        why = path + " has no " + entry;
    }
    WriteText(stderr, "vellum: cannot load " + std::string(file) + ": " + why + "\n");
    return nullptr;
}

} // namespace vellum::platform
