// Compiled script functions and the code they carry.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/source_place.h"
#include "engine/core/table_object.h"
#include "engine/core/value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellum {

// Bytecode with a side table from instruction offsets to source places,
// consulted only when an instruction fails, so positions cost nothing while
// the code runs.
struct Code {
    struct Position {
        uint32_t pc;
        SourcePlace place;
    };
    std::vector<uint8_t> bytes;
    std::vector<Position> positions;
    // Where each statement starts, in the order of pc; a debugger stops
    // only there. Read by nothing else.
    std::vector<Position> statements;
    // The statements' offsets an attached debugger has breakpoints at, as
    // of its breakpoints' generation breakpointGeneration (0: never looked).
    std::vector<uint32_t> breakpointPcs;
    uint32_t breakpointGeneration = 0;

    // The source place of the instruction at pc; unknown when none was recorded.
    SourcePlace SourceAt(size_t pc) const;
};

class FunctionObject final : public GcObject {
public:
    // The locals table maps names to slots; its string keys must stay alive.
    void Mark(Collector& collector) override { locals.Mark(collector); }

    Code code;
    // Not collected: owned by the function.
    TableObject locals;
    // Frame slots: this, the parameters, and every local of the body.
    Value slotCount = Value::Number(0);
    // Declared parameters; a call's further arguments are dropped.
    int parameterCount = 0;
    // The name it was declared with (a statement's or a constructor key's);
    // empty for an anonymous function. Shown in a debugger's call stack.
    std::u16string name;
};

} // namespace vellum
