#include "engine/lexer/token_file.h"

#include "engine/core/string_object.h"
#include "engine/lexer/token.h"
#include "engine/vm/interpreter.h"

#include <cstring>
#include <string>

namespace vellum {

namespace {

bool HasValueImage(uint32_t code)
{
    return code == token::Null || code == token::Number || code == token::Boolean;
}

bool HasText(uint32_t code) { return code == token::String || code == token::Identifier; }

} // namespace

std::optional<TokenRecord> ReadTokenRecord(Interpreter& ip, std::u16string_view records, size_t position)
{
    // Records are whole units, so byte counts stay even.
    const auto* bytes = reinterpret_cast<const uint8_t*>(records.data());
    const size_t available = records.size() > position ? (records.size() - position) * 2 : 0;
    const uint8_t* at = bytes + position * 2;
    auto readU32 = [&](size_t offset) {
        uint32_t v;
        std::memcpy(&v, at + offset, 4);
        return v;
    };
    if (available < 4) return std::nullopt;
    TokenRecord record{readU32(0), Value::Null(), 0};
    size_t used = 4;
    if (record.code == token::Include || record.code == token::TokenFileMarker || record.code == token::NoToken) {
        return std::nullopt;
    }
    if (HasValueImage(record.code)) {
        if (available < used + 16) return std::nullopt;
        record.value = LoadValueImage(at + used);
        const Tag expected = record.code == token::Null     ? Tag::Null
                             : record.code == token::Number ? Tag::Num
                                                            : Tag::Bool;
        if (record.value.tag != expected) return std::nullopt;
        used += 16;
    } else if (HasText(record.code)) {
        if (available < used + 4) return std::nullopt;
        const uint32_t count = readU32(used);
        used += 4;
        if (count == 0 || (available - used) / 2 < count) return std::nullopt;
        std::u16string units(count - 1, u'\0');
        std::memcpy(units.data(), at + used, (count - 1) * 2);
        used += size_t{count} * 2;
        record.value = ip.MakeString(units);
    }
    record.units = used / 2;
    return record;
}

TokenFileWriter::TokenFileWriter(const std::filesystem::path& path) : out(path, std::ios::binary | std::ios::trunc)
{
    const char marker[2] = {static_cast<char>(token::kTokenFileUnit & 0xFF), static_cast<char>(token::kTokenFileUnit >> 8)};
    out.write(marker, 2);
}

void TokenFileWriter::Write(uint32_t code, const Value& value)
{
    if (!out) return;
    out.write(reinterpret_cast<const char*>(&code), 4);
    if (HasValueImage(code)) {
        uint8_t image[16];
        StoreValueImage(image, value);
        out.write(reinterpret_cast<const char*>(image), 16);
    } else if (HasText(code)) {
        // The units as UTF-16, counted with their terminating 0.
        const WideText text(value.str);
        const uint32_t count = value.str->Length() + 1;
        const char16_t terminator = 0;
        out.write(reinterpret_cast<const char*>(&count), 4);
        out.write(reinterpret_cast<const char*>(text.View().data()), static_cast<std::streamsize>(count - 1) * 2);
        out.write(reinterpret_cast<const char*>(&terminator), 2);
    }
}

} // namespace vellum
