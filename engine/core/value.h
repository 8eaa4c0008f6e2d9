// The 16-byte value cell every part of the runtime passes around.
//
// A cell is a type tag, seven bytes that are copied along but never read,
// and an 8-byte payload. Bytecode constants and token files carry the whole
// image, so the layout is fixed: tag at byte 0, payload at byte 8.
#pragma once

#include <cstdint>
#include <cstring>

namespace vellum {

class GcObject;
class StringObject;
class TableObject;
class FunctionObject;
class Interpreter;

// A native function bound to a script name. It reads its arguments from the
// operand stack and returns 1 when it pushed exactly one result, else 0.
using NativeFunction = uint32_t (*)(Interpreter& ip);

enum class Tag : uint8_t {
    Null = 0,
    Bool = 1,
    Num = 2,
    Str = 3,
    FuncBin = 4,
    Func = 5,
    Table = 6,
    Binary = 7,
    Ptr = 8,
};

struct Value {
    Tag tag = Tag::Null;
    uint8_t padding[7] = {};
    union {
        double num;
        uint32_t word;
        StringObject* str;
        FunctionObject* func;
        TableObject* table;
        GcObject* object;
        NativeFunction native;
        void* binary;
        uint64_t bits = 0;
    };

    static Value Null() { return Value{}; }
    static Value Bool(bool b)
    {
        Value v;
        v.tag = Tag::Bool;
        v.word = b ? 1 : 0;
        return v;
    }
    static Value Number(double d)
    {
        Value v;
        v.tag = Tag::Num;
        v.num = d;
        return v;
    }
    static Value String(StringObject* s)
    {
        Value v;
        v.tag = Tag::Str;
        v.str = s;
        return v;
    }
    static Value Table(TableObject* t)
    {
        Value v;
        v.tag = Tag::Table;
        v.table = t;
        return v;
    }
    static Value Function(FunctionObject* f)
    {
        Value v;
        v.tag = Tag::Func;
        v.func = f;
        return v;
    }
    static Value Native(NativeFunction f)
    {
        Value v;
        v.tag = Tag::FuncBin;
        v.native = f;
        return v;
    }
    static Value Pointer(GcObject* o)
    {
        Value v;
        v.tag = Tag::Ptr;
        v.object = o;
        return v;
    }
    static Value Binary(void* p)
    {
        Value v;
        v.tag = Tag::Binary;
        v.binary = p;
        return v;
    }

    bool IsNull() const { return tag == Tag::Null; }
    bool IsNum() const { return tag == Tag::Num; }
    bool IsStr() const { return tag == Tag::Str; }
    bool IsTable() const { return tag == Tag::Table; }
    bool IsCallable() const { return tag == Tag::FuncBin || tag == Tag::Func; }
    // The truth the logical operators and PopBool use: only a bool whose word is non-zero.
    bool IsTrue() const { return tag == Tag::Bool && word != 0; }
    // Tags whose payload is an object the collector owns.
    bool IsCollectable() const
    {
        return tag == Tag::Str || tag == Tag::Func || tag == Tag::Table || tag == Tag::Ptr;
    }
};

static_assert(sizeof(Value) == 16, "a value cell is 16 bytes");

// Writes a whole cell with one 16-byte store. Cells are copied with 16-byte
// loads, and a load that follows narrower stores to the same cell (a tag
// byte and a payload written apart) cannot take its data from them and
// stalls; so the interpreter's hot paths write cells whole.
using CellBits = uint64_t __attribute__((vector_size(16)));

inline void StoreCell(Value& cell, Tag tag, uint64_t payload)
{
    const CellBits both = {static_cast<uint64_t>(tag), payload};
    std::memcpy(static_cast<void*>(&cell), &both, sizeof both);
}

// Copies a cell with one 16-byte load and store, for the same reason: a
// plain assignment may move it as two halves.
inline void CopyCell(Value& cell, const Value& from)
{
    CellBits both;
    std::memcpy(&both, static_cast<const void*>(&from), sizeof both);
    std::memcpy(static_cast<void*>(&cell), &both, sizeof both);
}

inline void StoreNumber(Value& cell, double d)
{
    uint64_t payload;
    std::memcpy(&payload, &d, 8);
    StoreCell(cell, Tag::Num, payload);
}

inline void StoreBool(Value& cell, bool b) { StoreCell(cell, Tag::Bool, b ? 1 : 0); }

// The 16-byte image of a cell as bytecode and token files store it.
inline void StoreValueImage(uint8_t* out, const Value& v) { std::memcpy(out, &v, sizeof(Value)); }
inline Value LoadValueImage(const uint8_t* in)
{
    Value v;
    std::memcpy(static_cast<void*>(&v), in, sizeof(Value));
    return v;
}

// Key hashing and equality as tables and `==` see them.
uint32_t ValueHash(const Value& v);
inline bool KeysEqual(const Value& a, const Value& b)
{
    if (a.tag != b.tag) return false;
    switch (a.tag) {
    case Tag::Null:
        return true;
    case Tag::Bool:
        return a.word == b.word;
    case Tag::Num:
        return a.num == b.num;
    default:
        return a.bits == b.bits;
    }
}
// Ordering: defined for two bools, two numbers or two strings; false otherwise.
bool ValueLess(const Value& a, const Value& b);
bool ValueGreater(const Value& a, const Value& b);

// The name the core library's type query reports for a tag.
const char16_t* TagName(Tag tag);

} // namespace vellum
