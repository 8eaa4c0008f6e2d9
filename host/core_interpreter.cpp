#include "host/core_interpreter.h"

#include "engine/vm/error_reporter.h"
#include "engine/vm/path_resolver.h"
#include "host/corelib/core_library.h"

namespace vellum {

std::unique_ptr<Interpreter> NewCoreInterpreter(const PathResolver& paths, ErrorReporter* reporter)
{
    auto ip = std::make_unique<Interpreter>(RegisterCoreLibrary);
    ip->SetPathResolver(&paths);
    ip->SetReporter(reporter);
    return ip;
}

} // namespace vellum
