// Token files: the token stream of a compiled text, written while it is
// lexed and read back instead of lexing. After the two bytes of the unit
// token::kTokenFileUnit, each record is a 4-byte code, then a 16-byte value
// image (null, numbers, booleans) or a 4-byte unit count with that many
// UTF-16 units, the last one a terminating 0 (strings and identifiers); a
// token without a value is its code alone.
#pragma once

#include "engine/core/value.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

namespace vellum {

class Interpreter;

struct TokenRecord {
    uint32_t code;
    Value value;
    // The UTF-16 units the record takes.
    size_t units;
};

// The record at position in a text of token-file records; none when it is
// cut short by the end of the text or does not hold what its code needs.
// Nothing past the text is read.
std::optional<TokenRecord> ReadTokenRecord(Interpreter& ip, std::u16string_view records, size_t position);

class TokenFileWriter {
public:
    // Creates the file; one that cannot be created is written nothing.
    explicit TokenFileWriter(const std::filesystem::path& path);
    void Write(uint32_t code, const Value& value);

private:
    std::ofstream out;
};

} // namespace vellum
