// The bytecode instruction set. Each opcode byte is followed by its operand:
// a 16-byte value image, an unsigned 16-bit number or a signed 32-bit jump
// offset counted from the end of the operand, all little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vellum {

enum Op : uint8_t {
    OP_END = 0,
    OP_PUSHK = 1,
    OP_EQ = 2,
    OP_NE = 3,
    OP_LT = 4,
    OP_GT = 5,
    OP_LE = 6,
    OP_GE = 7,
    OP_AND = 8,
    OP_OR = 9,
    OP_NEG = 10,
    OP_ADD = 11,
    OP_SUB = 12,
    OP_MUL = 13,
    OP_DIV = 14,
    OP_CONCAT = 15,
    OP_JMP = 16,
    OP_JMPF = 17,
    OP_FORIN = 18,
    OP_SETGLOBAL = 19,
    OP_GETGLOBAL = 20,
    OP_SETLOCAL = 21,
    OP_GETLOCAL = 22,
    OP_CALL = 23,
    OP_CALLMETHOD = 24,
    OP_RET = 25,
    OP_POP = 26,
    OP_NEWTABLE = 27,
    OP_GETINDEX = 28,
    OP_METHODMARK = 29,
    OP_SETINDEX = 30,
    OP_NEXTINDEX = 31,
    OP_SWAP = 32,
    OP_SETPOS = 33,

    // Fused forms the compiler emits for common pairs. They behave exactly
    // like the pair they replace, with one dispatch instead of two.
    OP_GETFIELD = 34,  // PUSHK name, GETINDEX; caches the entry index in the operand
    OP_ADDK = 35,      // PUSHK number, ADD
    OP_SUBK = 36,      // PUSHK number, SUB
    OP_GETLOCAL2 = 37, // GETLOCAL a, GETLOCAL b
    OP_JEQ = 38,       // EQ, JMPF
    OP_JNE = 39,       // NE, JMPF
    OP_JLT = 40,       // LT, JMPF
    OP_JGT = 41,       // GT, JMPF
    OP_JLE = 42,       // LE, JMPF
    OP_JGE = 43,       // GE, JMPF
    OP_INCLOCAL = 44,  // GETLOCAL x, ADDK or SUBK k, SETLOCAL x: slot and number
    OP_LADD = 45,      // GETLOCAL2 a b, ADD, SETLOCAL c: three slots
    OP_LSUB = 46,      // the same with SUB
    OP_LMUL = 47,      // the same with MUL
    OP_LDIV = 48,      // the same with DIV
    OP_ADDSL = 49,     // ADD, SETLOCAL c
    OP_SUBSL = 50,     // SUB, SETLOCAL c
    OP_COUNT = 51,
};

// The bytes of a 16-byte name operand that GETGLOBAL, SETGLOBAL and
// GETFIELD use as an inline cache: the padding of the value image, which
// nothing reads.
constexpr size_t kCacheOffset = 4;

// The slot number that stands for "a global, not a local".
constexpr uint16_t kGlobalSlot = 65535;

} // namespace vellum
