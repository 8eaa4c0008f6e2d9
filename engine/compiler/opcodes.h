// The bytecode instruction set (listed in instructions.def). Each opcode
// byte is followed by its operands: a 16-byte value image, unsigned 16-bit
// numbers or a signed 32-bit jump offset counted from the end of the
// operand, all little-endian.
#pragma once

#include "engine/core/value.h"

#include <cstddef>
#include <cstdint>

namespace vellum {

enum Op : uint8_t {
#define INSTRUCTION(name, operands, handler) OP_##name,
#include "engine/compiler/instructions.def"
#undef INSTRUCTION
    OP_COUNT
};

// The compiler turns an operator and its fused forms into each other by
// their distance, so these runs keep their order.
static_assert(OP_SUB == OP_ADD + 1 && OP_MUL == OP_ADD + 2 && OP_DIV == OP_ADD + 3);
static_assert(OP_LSUB == OP_LADD + 1 && OP_LMUL == OP_LADD + 2 && OP_LDIV == OP_LADD + 3);
static_assert(OP_NE == OP_EQ + 1 && OP_LT == OP_EQ + 2 && OP_GE == OP_EQ + 5);
static_assert(OP_JNE == OP_JEQ + 1 && OP_JLT == OP_JEQ + 2 && OP_JGE == OP_JEQ + 5);
static_assert(OP_JNEK == OP_JEQK + 1 && OP_JLTK == OP_JEQK + 2 && OP_JGEK == OP_JEQK + 5);
static_assert(OP_LOOPNE == OP_LOOPEQ + 1 && OP_LOOPLT == OP_LOOPEQ + 2 && OP_LOOPGE == OP_LOOPEQ + 5);
static_assert(OP_LOOPNEK == OP_LOOPEQK + 1 && OP_LOOPLTK == OP_LOOPEQK + 2 && OP_LOOPGEK == OP_LOOPEQK + 5);
static_assert(OP_JNEL == OP_JEQL + 1 && OP_JLTL == OP_JEQL + 2 && OP_JGEL == OP_JEQL + 5);
static_assert(OP_LOOPNEL == OP_LOOPEQL + 1 && OP_LOOPLTL == OP_LOOPEQL + 2 && OP_LOOPGEL == OP_LOOPEQL + 5);
static_assert(OP_INCGTL == OP_INCLTL + 1 && OP_INCLEL == OP_INCLTL + 2 && OP_INCGEL == OP_INCLTL + 3);
static_assert(OP_INCGTK == OP_INCLTK + 1 && OP_INCLEK == OP_INCLTK + 2 && OP_INCGEK == OP_INCLTK + 3);
static_assert(OP_INDEXJGTL == OP_INDEXJLTL + 1 && OP_INDEXJLEL == OP_INDEXJLTL + 2 && OP_INDEXJGEL == OP_INDEXJLTL + 3);
static_assert(OP_INDEXLOOPLTL == OP_INDEXJLTL + 4 && OP_INDEXLOOPGEL == OP_INDEXJLTL + 7);

// What follows an opcode byte.
enum class Operands : uint8_t {
    None,
    Constant,        // a value image
    Slot,            // a local's slot number
    Count,           // a number of arguments or table items
    Jump,            // a jump offset from the end of the operand
    Position,        // the source offset errors report
    TwoSlots,        // two slot numbers
    ThreeSlots,      // three slot numbers
    SlotAndConstant, // a slot number and a value image
    ConstantAndJump, // a value image and a jump offset
    CountAndConstant, // a number of arguments and a value image
    SlotAndJump,     // a slot number and a jump offset
};

constexpr Operands kOperandsOf[OP_COUNT] = {
#define INSTRUCTION(name, operands, handler) Operands::operands,
#include "engine/compiler/instructions.def"
#undef INSTRUCTION
};

// The bytes the operands of an instruction take after its opcode byte.
constexpr size_t OperandBytes(Operands operands)
{
    switch (operands) {
    case Operands::None:
        return 0;
    case Operands::Constant:
        return sizeof(Value);
    case Operands::Slot:
    case Operands::Count:
        return 2;
    case Operands::Jump:
    case Operands::Position:
    case Operands::TwoSlots:
        return 4;
    case Operands::ThreeSlots:
    case Operands::SlotAndJump:
        return 6;
    case Operands::SlotAndConstant:
    case Operands::CountAndConstant:
        return 2 + sizeof(Value);
    case Operands::ConstantAndJump:
        return sizeof(Value) + 4;
    }
    return 0;
}

// The bytes of a 16-byte name operand that GETGLOBAL, GETCALLEE, SETGLOBAL,
// GETFIELD, SETFIELD, LOCALFIELD, LOCALSETFIELD and CALLMETHODK use as an
// inline cache: the padding of the value image, which nothing reads.
constexpr size_t kCacheOffset = 4;

// The slot number that stands for "a global, not a local".
constexpr uint16_t kGlobalSlot = 65535;

} // namespace vellum
