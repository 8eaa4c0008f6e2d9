#include "platform/modules/loadable_module.h"

#include <dlfcn.h>

#include <iostream>
#include <string>

namespace vellum::platform {

const void* LoadModuleEntry(const char* file, const char* entry)
{
    // A bare file name: the dynamic loader looks in the library path of
    // this code, so the program and the tests find the same file.
    void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    std::string why;
    if (handle == nullptr) {
        why = dlerror();
    } else if (const auto function = reinterpret_cast<const void* (*)()>(dlsym(handle, entry))) {
        return function();
    } else {
        why = std::string("it has no ") + entry;
    }
    std::cerr << "vellum: cannot load " << file << ": " << why << "\n";
    return nullptr;
}

} // namespace vellum::platform
