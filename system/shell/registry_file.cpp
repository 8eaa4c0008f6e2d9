#include "system/shell/registry_file.h"

#include "engine/core/case_folding.h"
#include "engine/core/unicode.h"
#include "system/files/byte_text.h"

#include <algorithm>

namespace vellum::system {

struct RegistryFile::Key {
    std::u16string name;
    std::vector<std::unique_ptr<Key>> subkeys;
    std::vector<std::pair<std::u16string, RegistryValue>> values;
};

namespace {

using RegistryValue = RegistryFile::RegistryValue;

// Key and value names compare as the registry compares them: equal after
// Unicode simple case folding.
bool SameName(std::u16string_view a, std::u16string_view b) { return a.size() == b.size() && FoldCase(a) == FoldCase(b); }

// "A\B\\C\" → {"A", "B", "C"}: empty components are dropped.
std::vector<std::u16string_view> Components(std::u16string_view key)
{
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (start <= key.size()) {
        const size_t end = std::min(key.find(u'\\', start), key.size());
        if (end > start) parts.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\r')) text.remove_suffix(1);
    return text;
}

// A quoted text at the start of `text` (which starts with '"'), with \\ and
// \" unescaped; the rest of the line after the closing quote is left in
// `text`. None when the quote is not closed.
std::optional<std::u16string> Quoted(std::u16string_view& text)
{
    std::u16string out;
    for (size_t i = 1; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'"') {
            text.remove_prefix(i + 1);
            return out;
        }
        if (c == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) ++i;
        out += text[i];
    }
    return std::nullopt;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> HexBytes(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    int pending = -1;
    int digits = 0;
    for (const char16_t c : text) {
        if (c == u',' || c == u' ' || c == u'\t') {
            if (digits > 0) bytes.push_back(static_cast<uint8_t>(pending));
            pending = -1;
            digits = 0;
            continue;
        }
        const int d = HexDigit(c);
        if (d < 0 || digits == 2) return std::nullopt;
        pending = digits == 0 ? d : pending * 16 + d;
        ++digits;
    }
    if (digits > 0) bytes.push_back(static_cast<uint8_t>(pending));
    return bytes;
}

// The text held by a hex(2) or hex(7) value: UTF-16LE in the version 5
// format, the ANSI code page in REGEDIT4. A final terminator is dropped.
std::u16string HexText(const std::vector<uint8_t>& bytes, bool wide)
{
    std::u16string text = wide ? DecodeUtf16Le(bytes, TextEnd::atLastByte) : AnsiText(bytes, TextEnd::atLastByte);
    while (!text.empty() && text.back() == 0) text.pop_back();
    return text;
}

// The data after "=": a string, dword:, hex: or hex(N):.
std::optional<RegistryValue> ParseData(std::u16string_view data, bool wide)
{
    RegistryValue value;
    data = Trim(data);
    if (!data.empty() && data.front() == u'"') {
        std::optional<std::u16string> text = Quoted(data);
        if (!text || !Trim(data).empty()) return std::nullopt;
        value.text = std::move(*text);
        return value;
    }
    if (data.substr(0, 6) == u"dword:") {
        const std::u16string_view digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        uint32_t number = 0;
        for (const char16_t c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            number = number * 16 + static_cast<uint32_t>(d);
        }
        value.kind = RegistryValue::Kind::Dword;
        value.number = number;
        return value;
    }
    if (data.substr(0, 3) != u"hex") return std::nullopt;
    data.remove_prefix(3);
    int type = 3; // REG_BINARY
    if (!data.empty() && data.front() == u'(') {
        const size_t close = data.find(u')');
        if (close == std::u16string_view::npos || close == 1 || close > 9) return std::nullopt;
        type = 0;
        for (size_t i = 1; i < close; ++i) {
            const int d = HexDigit(data[i]);
            if (d < 0) return std::nullopt;
            type = type * 16 + d;
        }
        data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != u':') return std::nullopt;
    std::optional<std::vector<uint8_t>> bytes = HexBytes(data.substr(1));
    if (!bytes) return std::nullopt;
    switch (type) {
    case 1:
        value.text = HexText(*bytes, wide);
        break;
    case 2:
        value.kind = RegistryValue::Kind::ExpandString;
        value.text = HexText(*bytes, wide);
        break;
    case 7:
        value.kind = RegistryValue::Kind::MultiString;
        value.text = HexText(*bytes, wide);
        break;
    default:
        value.kind = RegistryValue::Kind::Binary;
        value.bytes = std::move(*bytes);
        break;
    }
    return value;
}

// The file's lines, a hex list wrapped with "\" at the line's end joined
// into one.
std::vector<std::u16string> Lines(std::u16string_view text)
{
    std::vector<std::u16string> lines;
    std::u16string current;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find(u'\n', start), text.size());
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        const std::u16string_view trimmed = Trim(line);
        // Exporters wrap hex lists after a comma.
        const bool continued = trimmed.ends_with(u",\\") || trimmed.ends_with(u":\\");
        // A continuation line starts with the indentation the exporter adds.
        current += current.empty() ? line : trimmed;
        if (continued) current.pop_back();
        else lines.push_back(std::move(current)), current.clear();
        start = end + 1;
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

bool ValidUtf8(const std::vector<uint8_t>& bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const uint8_t b = bytes[i];
        size_t extra = 0;
        if (b >= 0xC2 && b < 0xE0) extra = 1;
        else if (b >= 0xE0 && b < 0xF0) extra = 2;
        else if (b >= 0xF0 && b < 0xF5) extra = 3;
        else if (b >= 0x80) return false;
        if (bytes.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

RegistryFile::RegistryFile() : root(std::make_unique<Key>()) {}
RegistryFile::~RegistryFile() = default;
RegistryFile::RegistryFile(RegistryFile&&) noexcept = default;
RegistryFile& RegistryFile::operator=(RegistryFile&&) noexcept = default;

RegistryFile RegistryFile::Parse(std::u16string_view text)
{
    RegistryFile registry;
    if (!text.empty() && text.front() == 0xFEFF) text.remove_prefix(1);
    const std::vector<std::u16string> lines = Lines(text);
    if (lines.empty()) return registry;
    const std::u16string_view header = Trim(lines.front());
    const bool wide = header == u"Windows Registry Editor Version 5.00";
    if (!wide && header != u"REGEDIT4") return registry;

    Key* section = nullptr; // values before the first section, or of a removed key, are skipped
    for (size_t i = 1; i < lines.size(); ++i) {
        std::u16string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            section = nullptr;
            if (line.back() != u']') continue;
            std::u16string_view name = line.substr(1, line.size() - 2);
            if (!name.empty() && name.front() == u'-') {
                registry.Remove(name.substr(1));
                continue;
            }
            if (!Components(name).empty()) section = &registry.Make(name);
            continue;
        }
        if (section == nullptr) continue;
        std::u16string name;
        if (line.front() == u'@') {
            line.remove_prefix(1);
        } else if (line.front() == u'"') {
            std::optional<std::u16string> quoted = Quoted(line);
            if (!quoted) continue;
            name = std::move(*quoted);
        } else {
            continue;
        }
        line = Trim(line);
        if (line.empty() || line.front() != u'=') continue;
        line = Trim(line.substr(1));
        auto& values = section->values;
        const auto same = [&](const auto& entry) { return SameName(entry.first, name); };
        const auto found = std::find_if(values.begin(), values.end(), same);
        if (line == u"-") {
            if (found != values.end()) values.erase(found);
            continue;
        }
        std::optional<RegistryValue> value = ParseData(line, wide);
        if (!value) continue;
        if (found != values.end()) found->second = std::move(*value);
        else values.emplace_back(std::move(name), std::move(*value));
    }
    return registry;
}

RegistryFile RegistryFile::Load(const std::filesystem::path& file)
{
    const std::optional<std::vector<uint8_t>> read = ReadWholeFile(file);
    if (!read) return {};
    const std::vector<uint8_t>& bytes = *read;
    std::u16string text;
    if (StartsWithUtf16LeMark(bytes)) {
        text = DecodeUtf16Le(std::span(bytes).subspan(2), TextEnd::atLastByte);
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        text = FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3));
    } else if (ValidUtf8(bytes)) {
        text = FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else {
        text = AnsiText(bytes, TextEnd::atLastByte);
    }
    return Parse(text);
}

RegistryFile::Key* RegistryFile::Subkey(const Key& key, std::u16string_view name)
{
    for (const auto& sub : key.subkeys) {
        if (SameName(sub->name, name)) return sub.get();
    }
    return nullptr;
}

RegistryFile::Key* RegistryFile::Find(std::u16string_view key) const
{
    Key* at = root.get();
    for (const std::u16string_view part : Components(key)) {
        at = Subkey(*at, part);
        if (at == nullptr) return nullptr;
    }
    return at;
}

RegistryFile::Key& RegistryFile::Make(std::u16string_view key)
{
    Key* at = root.get();
    for (const std::u16string_view part : Components(key)) {
        Key* next = Subkey(*at, part);
        if (next == nullptr) {
            at->subkeys.push_back(std::make_unique<Key>());
            next = at->subkeys.back().get();
            next->name = std::u16string(part);
        }
        at = next;
    }
    return *at;
}

void RegistryFile::Remove(std::u16string_view key)
{
    std::vector<std::u16string_view> parts = Components(key);
    if (parts.empty()) return;
    const std::u16string_view last = parts.back();
    parts.pop_back();
    std::u16string parent;
    for (const std::u16string_view part : parts) parent.append(part).push_back(u'\\');
    Key* at = Find(parent);
    if (at == nullptr) return;
    std::erase_if(at->subkeys, [&](const std::unique_ptr<Key>& sub) { return SameName(sub->name, last); });
}

bool RegistryFile::HasKey(std::u16string_view key) const { return !Components(key).empty() && Find(key) != nullptr; }

const RegistryFile::RegistryValue* RegistryFile::Value(std::u16string_view key, std::u16string_view name) const
{
    const Key* at = Components(key).empty() ? nullptr : Find(key);
    if (at == nullptr) return nullptr;
    for (const auto& [valueName, value] : at->values) {
        if (SameName(valueName, name)) return &value;
    }
    return nullptr;
}

std::optional<std::u16string> RegistryFile::String(std::u16string_view key, std::u16string_view name) const
{
    const RegistryValue* value = Value(key, name);
    if (value == nullptr) return std::nullopt;
    if (value->kind != RegistryValue::Kind::String && value->kind != RegistryValue::Kind::ExpandString) return std::nullopt;
    return value->text;
}

std::vector<std::u16string> RegistryFile::Subkeys(std::u16string_view key) const
{
    std::vector<std::u16string> names;
    const Key* at = Components(key).empty() ? nullptr : Find(key);
    if (at == nullptr) return names;
    for (const auto& sub : at->subkeys) names.push_back(sub->name);
    return names;
}

} // namespace vellum::system
