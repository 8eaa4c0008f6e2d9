#include "lexer/source_reader.h"

#include "core/string_object.h"
#include "core/text_codec.h"
#include "lexer/char_class.h"
#include "lexer/token.h"
#include "vm/interpreter.h"
#include "vm/path_resolver.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vellum {

namespace {

struct Keyword {
    std::u16string_view word;
    uint32_t code;
};

constexpr Keyword kKeywords[] = {
    {u"var", token::Var},       {u"if", token::If},           {u"elseif", token::ElseIf},
    {u"else", token::Else},     {u"end", token::EndKeyword},  {u"while", token::While},
    {u"for", token::For},       {u"in", token::In},           {u"function", token::Function},
    {u"return", token::Return}, {u"and", token::And},         {u"or", token::Or},
    {u"true", token::Boolean},  {u"false", token::Boolean},   {u"null", token::Null},
    {u"include", token::Include},
};

bool IsSingleCharToken(char16_t c)
{
    return std::u16string_view(u"()*+,-./:<=>[]{}&!").find(c) != std::u16string_view::npos;
}

bool HasValueImage(uint32_t code)
{
    return code == token::Null || code == token::Number || code == token::Boolean;
}

bool HasText(uint32_t code) { return code == token::String || code == token::Identifier; }

} // namespace

SourceReader::SourceReader(Interpreter& ip_, std::u16string_view text_, uint32_t textId_,
                           std::u16string_view tokenFileName)
    : ip(ip_), text(text_), textId(textId_)
{
    includes.reserve(kMaxIncludeDepth);
    if (tokenFileName.empty()) return;
    // A token file that cannot be created leaves the compilation running without one.
    if (auto path = ip.Paths().HostPath(tokenFileName)) {
        tokenWriter.reset(std::fopen(path->c_str(), "wb"));
        if (tokenWriter) {
            const uint8_t marker[2] = {0xD2, 0x04};
            std::fwrite(marker, 1, 2, tokenWriter.get());
        }
    }
}

SourceReader::~SourceReader() { Close(); }

void SourceReader::Close()
{
    includes.clear();
    tokenWriter.reset();
}

uint32_t SourceReader::Next()
{
    if (pushedToken != token::NoToken) {
        token = pushedToken;
        tokenValue = pushedValue;
        pushedToken = token::NoToken;
        return token;
    }
    return Lex();
}

uint32_t SourceReader::Expect(uint32_t code, ErrorId error)
{
    if (token != code) RaiseAt(error);
    return Next();
}

uint32_t SourceReader::Peek()
{
    pushedToken = token;
    pushedValue = tokenValue;
    return Lex();
}

void SourceReader::SwapWithPushedBack()
{
    std::swap(token, pushedToken);
    std::swap(tokenValue, pushedValue);
}

void SourceReader::RaiseAt(ErrorId id, std::u16string_view arg1, std::u16string_view arg2)
{
    ip.RaiseErrorAt(id, {static_cast<int32_t>(tokenStart), textId}, arg1, arg2);
}

uint32_t SourceReader::Lex()
{
    tokenValue = Value::Null();
    if (ip.ErrorPending()) return token = token::End;
    token = readingTokens ? ReadTokenRecord() : LexText();
    if (ip.ErrorPending()) {
        tokenValue = Value::Null();
        return token = token::End;
    }
    if (!readingTokens) WriteToken(token);
    return token;
}

uint32_t SourceReader::LexText()
{
    for (;;) {
        if (Unit(position) == token::kTokenFileUnit) {
            readingTokens = true;
            ++position;
            return ReadTokenRecord();
        }
        while (IsSpaceUnit(Unit(position))) ++position;
        const char16_t c = Unit(position);
        if (c == u'#') {
            while (Unit(position) != 0 && Unit(position) != u'\r' && Unit(position) != u'\n') ++position;
            continue;
        }
        tokenStart = position;
        const char16_t following = Unit(position + 1);
        switch (c) {
        case u'<':
        case u'=':
        case u'>':
        case u'!':
            if (following == u'=') {
                position += 2;
                return c == u'<' ? token::LessEqual
                       : c == u'=' ? token::Equal
                       : c == u'>' ? token::GreaterEqual
                                   : token::NotEqual;
            }
            ++position;
            return c;
        case u'/':
            if (following != u'*') {
                ++position;
                return c;
            }
            // The opener's star may also close the comment, so "/*/" is complete.
            ++position;
            while (Unit(position) != 0 && !(Unit(position) == u'*' && Unit(position + 1) == u'/')) ++position;
            if (Unit(position) != 0) position += 2;
            continue;
        case u'"':
        case u'\'':
            LexString(c);
            return token::String;
        case 0:
            if (LeaveInclude()) continue;
            return token::End;
        default:
            break;
        }
        if (IsDigitUnit(c)) {
            LexNumber();
            return token::Number;
        }
        if (IsLetterUnit(c)) {
            const uint32_t code = LexWord();
            if (code == token::Include) {
                OpenInclude();
                if (ip.ErrorPending()) return token::End;
                continue;
            }
            return code;
        }
        ++position;
        return IsSingleCharToken(c) ? c : token::Unknown;
    }
}

void SourceReader::LexString(char16_t quote)
{
    const size_t begin = ++position;
    while (Unit(position) != 0 && Unit(position) != quote) ++position;
    tokenValue = ip.MakeString(text.substr(begin, position - begin));
    if (Unit(position) == quote) ++position;
}

void SourceReader::LexNumber()
{
    // digits [. digits] [e [sign] digits], as the wide string-to-double
    // conversion reads it; converted without regard to the process locale.
    std::string ascii;
    size_t p = position;
    while (IsDigitUnit(Unit(p))) ascii += static_cast<char>(Unit(p++));
    if (Unit(p) == u'.') {
        ascii += '.';
        ++p;
        while (IsDigitUnit(Unit(p))) ascii += static_cast<char>(Unit(p++));
    }
    if (Unit(p) == u'e' || Unit(p) == u'E') {
        size_t q = p + 1;
        if (Unit(q) == u'+' || Unit(q) == u'-') ++q;
        if (IsDigitUnit(Unit(q))) {
            ascii += 'e';
            for (size_t k = p + 1; k < q; ++k) ascii += static_cast<char>(Unit(k));
            p = q;
            while (IsDigitUnit(Unit(p))) ascii += static_cast<char>(Unit(p++));
        }
    }
    position = p;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Tiny literals underflow to zero, as the C conversion does; big ones are errors.
        const size_t firstDigit = ascii.find_first_not_of('0');
        const bool zeroIntegerPart = firstDigit == std::string::npos || ascii[firstDigit] == '.';
        const bool hasExponent = ascii.find('e') != std::string::npos;
        const bool tiny = ascii.find("e-") != std::string::npos || (!hasExponent && zeroIntegerPart);
        if (!tiny) return RaiseAt(errNumberOutOfRange);
        value = 0.0;
    }
    if (!std::isfinite(value)) return RaiseAt(errNumberOutOfRange);
    tokenValue = Value::Number(value);
}

uint32_t SourceReader::LexWord()
{
    const size_t begin = position;
    while (IsLetterUnit(Unit(position)) || IsDigitUnit(Unit(position))) ++position;
    const std::u16string_view word = text.substr(begin, position - begin);
    if (word.size() >= kMaxWord) {
        RaiseAt(errUnexpectedIdentifier);
        return token::End;
    }
    for (const Keyword& k : kKeywords) {
        if (k.word != word) continue;
        if (k.code == token::Boolean) tokenValue = Value::Bool(word == u"true");
        return k.code;
    }
    tokenValue = ip.MakeString(word);
    return token::Identifier;
}

void SourceReader::OpenInclude()
{
    // Errors of the directive are positioned at the word include, which
    // tokenStart still designates.
    if (static_cast<int>(includes.size()) >= kMaxIncludeDepth) return RaiseAt(errMaxIncludeDepthReached);
    while (IsSpaceUnit(Unit(position))) ++position;
    if (Unit(position) != u'"') return RaiseAt(errQuotationMarksExpected);
    const size_t begin = ++position;
    while (Unit(position) != 0 && Unit(position) != u'"' && position - begin < kMaxFileName) ++position;
    if (position - begin == kMaxFileName && Unit(position) != u'"') return RaiseAt(errIncludeFileNameTooLong);
    const std::u16string name(text.substr(begin, position - begin));

    std::u16string included;
    if (!LoadFile(name, included)) {
        // Beside the program; a name too long for that leaves the bare
        // directory, which is no file.
        const std::u16string besideProgram = ip.Paths().PathBesideProgram(name);
        if (besideProgram.size() <= ip.Paths().ProgramDirectory().size() || !LoadFile(besideProgram, included)) {
            return RaiseAt(errIncludeFileNotFound);
        }
    }
    includes.push_back({text, textId, position, tokenStart});
    // The interpreter keeps the text: errors of code compiled from it are
    // shown at their line in it long after this reader is gone.
    textId = ip.KeepSourceText(std::move(included));
    text = ip.SourceText(textId);
    position = 0;
}

bool SourceReader::LeaveInclude()
{
    if (includes.empty()) return false;
    Include& top = includes.back();
    text = top.savedText;
    textId = top.savedTextId;
    // Continue after the closing quote of the directive (if the text had one).
    position = top.savedPosition + (Unit(top.savedPosition) == u'"' ? 1 : 0);
    tokenStart = top.savedTokenStart;
    includes.pop_back();
    return true;
}

bool SourceReader::LoadFile(std::u16string_view name, std::u16string& out) const
{
    const auto path = ip.Paths().HostPath(name);
    if (!path) return false;
    // A directory opens but cannot be read: it is no file to include.
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(*path);
    if (!bytes) return false;
    // The mark counts only with text after it; two bytes alone are Latin-1.
    if (bytes->size() > 2 && StartsWithUtf16LeMark(*bytes)) {
        out = DecodeUtf16Le(std::span(*bytes).subspan(2));
    } else {
        // Without a byte-order mark every byte is one unit (Latin-1).
        out.assign(bytes->begin(), bytes->end());
    }
    return true;
}

void SourceReader::CorruptTokenFile()
{
    ip.RaiseErrorAt(errInvalidFileFormat, {static_cast<int32_t>(tokenStart), textId}, u"(token file)");
}

uint32_t SourceReader::ReadTokenRecord()
{
    // Records are whole units: a 4-byte code, then a 16-byte image or a
    // 4-byte count and that many units. Nothing is read past the buffer.
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const size_t available = text.size() > position ? (text.size() - position) * 2 : 0;
    const uint8_t* at = bytes + position * 2;
    auto readU32 = [&](size_t offset) {
        uint32_t v;
        std::memcpy(&v, at + offset, 4);
        return v;
    };
    if (available < 4) {
        CorruptTokenFile();
        return token::End;
    }
    const uint32_t code = readU32(0);
    size_t used = 4;
    if (code == token::Include || code == token::TokenFileMarker || code == token::NoToken) {
        CorruptTokenFile();
        return token::End;
    }
    if (HasValueImage(code)) {
        if (available < used + 16) {
            CorruptTokenFile();
            return token::End;
        }
        tokenValue = LoadValueImage(at + used);
        const Tag expected = code == token::Null ? Tag::Null : code == token::Number ? Tag::Num : Tag::Bool;
        if (tokenValue.tag != expected) {
            tokenValue = Value::Null();
            CorruptTokenFile();
            return token::End;
        }
        used += 16;
    } else if (HasText(code)) {
        if (available < used + 4) {
            CorruptTokenFile();
            return token::End;
        }
        const uint32_t count = readU32(used);
        used += 4;
        if (count == 0 || (available - used) / 2 < count) {
            CorruptTokenFile();
            return token::End;
        }
        std::u16string units(count - 1, u'\0');
        std::memcpy(units.data(), at + used, (count - 1) * 2);
        used += size_t{count} * 2;
        tokenValue = ip.MakeString(units);
    }
    position += used / 2;
    return code;
}

void SourceReader::WriteToken(uint32_t code)
{
    if (!tokenWriter) return;
    std::FILE* f = tokenWriter.get();
    std::fwrite(&code, 4, 1, f);
    if (HasValueImage(code)) {
        uint8_t image[16];
        StoreValueImage(image, tokenValue);
        std::fwrite(image, 1, 16, f);
    } else if (HasText(code)) {
        const StringObject* s = tokenValue.str;
        const uint32_t count = s->Length() + 1;
        std::fwrite(&count, 4, 1, f);
        std::fwrite(s->Data(), 2, count, f);
    }
}

} // namespace vellum
