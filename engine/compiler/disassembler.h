// Bytecode as text for people: one instruction per line, its offset, its
// name and its operands. Constants print as the script would write them,
// jumps as the offset they lead to.
#pragma once

#include "engine/core/function_object.h"

#include <string>

namespace vellum {

class Interpreter;

// Bytes that are no instruction, and an operand cut short by the end of the
// code, show as such; the text then ends there.
std::string Disassemble(Interpreter& ip, const Code& code);

} // namespace vellum
