// The reader works on bytes until a value is decoded: folded lines are
// joined first (a line that starts with a space or a tab continues the one
// before; a quoted-printable value ending in "=" continues on the next
// line), then each line is split into name, parameters and value, and only
// the values the contacts need are decoded to text.
#include "system/contacts/vcard.h"

#include "engine/core/unicode.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace vellum::contacts {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Upper);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && UpperAscii(text.substr(0, prefix.size())) == UpperAscii(prefix);
}

// The first position of c outside double quotes, npos when there is none.
size_t FindOutsideQuotes(std::string_view text, char c, size_t from = 0)
{
    bool quoted = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        else if (text[i] == c && !quoted) return i;
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitOutsideQuotes(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at; (at = FindOutsideQuotes(text, separator, start)) != std::string_view::npos; start = at + 1) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

struct Property {
    std::string name; // upper case, without its group
    std::vector<std::pair<std::string, std::string>> params; // keys upper case
    std::string value;

    // The values of every parameter named key, lists split at commas.
    std::vector<std::string> Param(std::string_view key) const
    {
        std::vector<std::string> values;
        for (const auto& [k, v] : params) {
            if (k != key) continue;
            // TYPE="cell,voice" is a list too.
            std::string_view list = v;
            if (list.size() >= 2 && list.front() == '"' && list.back() == '"') list = list.substr(1, list.size() - 2);
            for (std::string_view part : SplitOutsideQuotes(list, ',')) {
                if (part.size() >= 2 && part.front() == '"' && part.back() == '"') part = part.substr(1, part.size() - 2);
                if (!part.empty()) values.emplace_back(part);
            }
        }
        return values;
    }
    std::string Encoding() const
    {
        const auto values = Param("ENCODING");
        return values.empty() ? std::string() : UpperAscii(values.front());
    }
};

// Version 2.1 writes some parameters without their names: encodings
// ("QUOTED-PRINTABLE", "BASE64") and types ("CELL", "HOME", "JPEG").
std::pair<std::string, std::string> ParamOf(std::string_view text)
{
    const size_t equals = FindOutsideQuotes(text, '=');
    if (equals != std::string_view::npos) return {UpperAscii(text.substr(0, equals)), std::string(text.substr(equals + 1))};
    const std::string word = UpperAscii(text);
    if (word == "QUOTED-PRINTABLE" || word == "BASE64" || word == "8BIT" || word == "7BIT") return {"ENCODING", word};
    return {"TYPE", std::string(text)};
}

std::optional<Property> ParseProperty(std::string_view line)
{
    const size_t colon = FindOutsideQuotes(line, ':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::vector<std::string_view> head = SplitOutsideQuotes(line.substr(0, colon), ';');
    Property p;
    std::string_view name = head.front();
    if (const size_t dot = name.rfind('.'); dot != std::string_view::npos) name = name.substr(dot + 1); // a group
    p.name = UpperAscii(name);
    for (size_t i = 1; i < head.size(); ++i) {
        if (!head[i].empty()) p.params.push_back(ParamOf(head[i]));
    }
    p.value = line.substr(colon + 1);
    return p;
}

bool IsQuotedPrintable(std::string_view line)
{
    const size_t colon = FindOutsideQuotes(line, ':');
    return colon != std::string_view::npos && UpperAscii(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

// The lines of the file with folding undone.
std::vector<std::string> UnfoldedLines(std::span<const uint8_t> bytes)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<std::string> lines;
    bool softBreak = false; // the line before ends in a quoted-printable "="
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (softBreak) {
            lines.back().pop_back();
            lines.back() += line;
        } else if (!lines.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            lines.back() += line.substr(1);
        } else {
            lines.emplace_back(line);
        }
        softBreak = !lines.empty() && !lines.back().empty() && lines.back().back() == '=' && IsQuotedPrintable(lines.back());
    }
    return lines;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = Upper(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i]; // a stray "=" stands for itself
        }
    }
    return out;
}

int Base64Digit(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+' || c == '-') return 62;
    if (c == '/' || c == '_') return 63;
    return -1;
}

// Nothing when the text holds anything but base64 digits, padding and
// white space.
std::optional<std::string> DecodeBase64(std::string_view text)
{
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') break;
        const int digit = Base64Digit(c);
        if (digit < 0) return std::nullopt;
        bits = bits << 6 | static_cast<uint32_t>(digit);
        if (++count == 4) {
            out += static_cast<char>(bits >> 16);
            out += static_cast<char>(bits >> 8);
            out += static_cast<char>(bits);
            bits = 0;
            count = 0;
        }
    }
    if (count == 1) return std::nullopt;
    if (count == 2) out += static_cast<char>(bits >> 4);
    if (count == 3) {
        out += static_cast<char>(bits >> 10);
        out += static_cast<char>(bits >> 2);
    }
    return out;
}

// The value's bytes with its transfer encoding undone.
std::optional<std::string> ValueBytes(const Property& p)
{
    const std::string encoding = p.Encoding();
    if (encoding == "QUOTED-PRINTABLE") return DecodeQuotedPrintable(p.value);
    if (encoding == "B" || encoding == "BASE64") return DecodeBase64(p.value);
    return p.value;
}

// Text in the property's character set: UTF-8 unless it says otherwise;
// bytes that are no UTF-8 are taken as Latin-1, as older 2.1 writers made them.
std::u16string DecodeText(const Property& p, std::string_view bytes)
{
    const auto charset = p.Param("CHARSET");
    const std::string name = charset.empty() ? std::string() : UpperAscii(charset.front());
    const bool latin1 = name == "ISO-8859-1" || name == "WINDOWS-1252" || name == "LATIN1";
    if (!latin1 && IsUtf8(bytes)) return FromUtf8(bytes);
    std::u16string out;
    for (char c : bytes) out += static_cast<char16_t>(static_cast<uint8_t>(c));
    return out;
}

// Undoes the text escapes of 3.0 and 4.0: \n, \, \; and \\.
std::u16string Unescape(std::u16string_view text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const char16_t next = text[++i];
            out += next == u'n' || next == u'N' ? u'\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The parts of a structured value, split at unescaped semicolons.
std::vector<std::u16string> StructuredParts(std::u16string_view text)
{
    std::vector<std::u16string> parts(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            parts.back() += text.substr(i, 2);
            ++i;
        } else if (text[i] == u';') {
            parts.emplace_back();
        } else {
            parts.back() += text[i];
        }
    }
    for (std::u16string& part : parts) part = Unescape(part);
    return parts;
}

std::u16string Trimmed(std::u16string_view text)
{
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::u16string(text);
}

// N is family; given; additional; prefixes; suffixes. The name reads
// "prefixes given additional family suffixes".
std::u16string NameFromParts(const std::vector<std::u16string>& parts)
{
    std::u16string name;
    for (size_t index : {3u, 1u, 2u, 0u, 4u}) {
        if (index >= parts.size()) continue;
        std::u16string part = Trimmed(parts[index]);
        std::replace(part.begin(), part.end(), u',', u' ');
        if (part.empty()) continue;
        if (!name.empty()) name += u' ';
        name += part;
    }
    return name;
}

std::u16string LowerAscii(std::string_view text)
{
    std::u16string out;
    for (char c : text) out += static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

std::optional<Phone> PhoneOf(const Property& p)
{
    const auto bytes = ValueBytes(p);
    if (!bytes) return std::nullopt;
    std::string_view raw = *bytes;
    if (StartsWithNoCase(raw, "tel:")) raw.remove_prefix(4); // a 4.0 URI
    Phone phone{Trimmed(Unescape(DecodeText(p, raw))), {}};
    if (phone.number.empty()) return std::nullopt;
    for (const std::string& type : p.Param("TYPE")) phone.types.push_back(LowerAscii(type));
    return phone;
}

// An inline photo: an encoded value, or a data URI with base64 bytes.
// A photo given as a link to elsewhere is not fetched.
std::vector<uint8_t> PhotoOf(const Property& p)
{
    std::optional<std::string> bytes;
    const std::string encoding = p.Encoding();
    if (encoding == "B" || encoding == "BASE64") {
        bytes = DecodeBase64(p.value);
    } else if (StartsWithNoCase(p.value, "data:")) {
        const size_t comma = p.value.find(',');
        if (comma != std::string::npos && UpperAscii(p.value.substr(0, comma)).ends_with(";BASE64")) {
            bytes = DecodeBase64(std::string_view(p.value).substr(comma + 1));
        }
    }
    if (!bytes) return {};
    return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

// BEGIN and END name the card they open and close.
bool NamesCard(std::string_view value)
{
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    return UpperAscii(value) == "VCARD";
}

} // namespace

std::vector<VCard> ParseVCards(std::span<const uint8_t> bytes)
{
    std::vector<VCard> cards;
    std::optional<VCard> open;
    std::u16string structuredName; // from N, used when there is no FN
    for (const std::string& line : UnfoldedLines(bytes)) {
        const std::optional<Property> p = ParseProperty(line);
        if (!p) continue; // not a property: skipped
        const bool aboutCard = NamesCard(p->value);
        if (p->name == "BEGIN" && aboutCard) {
            // A card that did not end before the next begins is left out.
            open.emplace();
            structuredName.clear();
            continue;
        }
        if (!open) continue;
        if (p->name == "END" && aboutCard) {
            if (open->name.empty()) open->name = structuredName;
            cards.push_back(std::move(*open));
            open.reset();
        } else if (p->name == "FN") {
            if (const auto value = ValueBytes(*p)) open->name = Trimmed(Unescape(DecodeText(*p, *value)));
        } else if (p->name == "N") {
            if (const auto value = ValueBytes(*p)) structuredName = NameFromParts(StructuredParts(DecodeText(*p, *value)));
        } else if (p->name == "TEL") {
            if (auto phone = PhoneOf(*p)) open->phones.push_back(std::move(*phone));
        } else if (p->name == "PHOTO" && open->photo.empty()) {
            open->photo = PhotoOf(*p);
        } else if (p->name == "UID") {
            open->uid = Trimmed(Unescape(FromUtf8(p->value)));
        }
    }
    return cards;
}

} // namespace vellum::contacts
