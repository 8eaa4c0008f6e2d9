// The program's own loadable modules: the parts of the libraries that need
// a large system library (libcurl, nettle, ALSA, Qt's multimedia and
// network modules) are kept out of every run that does not use them, and
// loaded the first time it does. Each module exports one function, which gives a table of
// what it offers.
#pragma once

namespace vellum::platform {

// Loads the module file once (the process keeps it to the end) and gives
// what its entry function returns; nullptr, after saying on standard error
// which module is missing and why, when it cannot be loaded. The modules
// sit beside the program's base library (the build folder in a build tree,
// the library folder once installed), which holds this function.
const void* LoadModuleEntry(const char* file, const char* entry);

template <class Module>
const Module* LoadModule(const char* file, const char* entry)
{
    return static_cast<const Module*>(LoadModuleEntry(file, entry));
}

} // namespace vellum::platform

// How a module defines its entry, the one symbol it exports.
#define VELLUM_MODULE_ENTRY(entry) extern "C" __attribute__((visibility("default"))) const void* entry()
