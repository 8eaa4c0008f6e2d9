// Every interpreter the program makes gets the same libraries, in a fixed
// order, and the same device folder and error box as the one that made it.
#pragma once

#include "engine/vm/interpreter.h"

#include <memory>

namespace vellum {

class ErrorReporter;
class PathResolver;

// Registers every library into a new interpreter, in the program's fixed
// order; a name registered later replaces the same name registered earlier.
void RegisterLibraries(Interpreter& ip);

// A new interpreter with the core library, the given device folder and
// error box, and every library registered.
std::unique_ptr<Interpreter> NewInterpreter(const PathResolver& paths, ErrorReporter* reporter);

} // namespace vellum
