// The module's entry: the one symbol the program looks up in it.
#include "host/module/library_module.h"

#include "host/debug_adapter/debug_adapter.h"
#include "host/module/program.h"
#include "host/register_libraries.h"

namespace {

constexpr vellum::LibraryModule kModule{
    vellum::RunProgram,
    vellum::StartConsoleLibraries,
    vellum::RegisterLibraries,
    vellum::FinishConsoleLibraries,
    vellum::RunDebugAdapter,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const vellum::LibraryModule* vellum_library_module()
{
    return &kModule;
}
