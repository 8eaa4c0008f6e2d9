#include "engine/compiler/disassembler.h"

#include "engine/compiler/opcodes.h"
#include "engine/core/string_object.h"
#include "engine/core/unicode.h"
#include "engine/vm/interpreter.h"

#include <cstdio>
#include <cstring>

namespace vellum {

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int32_t ReadI32(const uint8_t* p)
{
    int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::string Constant(Interpreter& ip, const uint8_t* p) { return ToUtf8(ip.ToString(LoadValueImage(p), true, false)->View()); }

// The operands of one instruction; `next` is the offset after them.
std::string OperandText(Interpreter& ip, Operands operands, const uint8_t* p, size_t next)
{
    switch (operands) {
    case Operands::None:
        return {};
    case Operands::Constant:
        return Constant(ip, p);
    case Operands::Slot:
    case Operands::Count:
        return std::to_string(ReadU16(p));
    case Operands::Jump:
        return "-> " + std::to_string(static_cast<int64_t>(next) + ReadI32(p));
    case Operands::Position:
        return "@" + std::to_string(ReadI32(p));
    case Operands::TwoSlots:
        return std::to_string(ReadU16(p)) + " " + std::to_string(ReadU16(p + 2));
    case Operands::ThreeSlots:
        return std::to_string(ReadU16(p)) + " " + std::to_string(ReadU16(p + 2)) + " " +
               std::to_string(ReadU16(p + 4));
    case Operands::SlotAndConstant:
    case Operands::CountAndConstant:
        return std::to_string(ReadU16(p)) + " " + Constant(ip, p + 2);
    case Operands::SlotAndJump:
        return std::to_string(ReadU16(p)) + " -> " + std::to_string(static_cast<int64_t>(next) + ReadI32(p + 2));
    case Operands::ConstantAndJump:
        return Constant(ip, p) + " -> " + std::to_string(static_cast<int64_t>(next) + ReadI32(p + sizeof(Value)));
    }
    return {};
}

} // namespace

std::string Disassemble(Interpreter& ip, const Code& code)
{
    std::string out;
    const std::vector<uint8_t>& bytes = code.bytes;
    for (size_t at = 0; at < bytes.size();) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "%04zu ", at);
        out += offset;
        const uint8_t op = bytes[at];
        if (op >= OP_COUNT) {
            out += "(no instruction: " + std::to_string(op) + ")\n";
            return out;
        }
        out += kInstructionNames[op];
        const Operands operands = kOperandsOf[op];
        const size_t next = at + 1 + OperandBytes(operands);
        if (next > bytes.size()) {
            out += " (operand cut short)\n";
            return out;
        }
        const std::string text = OperandText(ip, operands, bytes.data() + at + 1, next);
        if (!text.empty()) out += " " + text;
        out += '\n';
        at = next;
    }
    return out;
}

} // namespace vellum
