// Running out of memory as a script error: an allocation too large for the
// machine (a text, a table, the code of a huge source) raises
// errOutOfMemory and the script ends with it, instead of the process.
#pragma once

#include "engine/vm/interpreter.h"

#include <new>
#include <stdexcept>

namespace vellum {

// Runs work; false, with errOutOfMemory raised, when it ran out of memory.
template <class Work>
bool WithinMemory(Interpreter& ip, Work&& work)
{
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ip.RaiseError(errOutOfMemory);
    return false;
}

} // namespace vellum
