// A new interpreter as every run of the program starts one: the core
// library, the device folder that resolves its paths and the box that shows
// its errors. The other libraries are added by the caller.
#pragma once

#include "engine/vm/interpreter.h"

#include <memory>

namespace vellum {

class ErrorReporter;
class PathResolver;

std::unique_ptr<Interpreter> NewCoreInterpreter(const PathResolver& paths, ErrorReporter* reporter);

} // namespace vellum
