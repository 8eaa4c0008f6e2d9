// The system library's registration.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::system {

// The global functions of the system library, in their fixed order.
void RegisterSystemLibrary(Interpreter& ip);

// The tables File and FileStream, registered later than the functions.
void RegisterFileClasses(Interpreter& ip);

} // namespace vellum::system
