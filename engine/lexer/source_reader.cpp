#include "engine/lexer/source_reader.h"

#include "engine/core/string_object.h"
#include "engine/core/text_codec.h"
#include "engine/lexer/char_class.h"
#include "engine/lexer/script_encoding.h"
#include "engine/lexer/token.h"
#include "engine/lexer/token_file.h"
#include "engine/vm/interpreter_internal.h"
#include "engine/vm/path_resolver.h"

#include <charconv>
#include <cmath>

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

} // namespace

bool IsKeyword(std::u16string_view word)
{
    for (const Keyword& k : kKeywords) {
        if (k.word == word) return true;
    }
    return false;
}

std::vector<std::u16string_view> Keywords()
{
    std::vector<std::u16string_view> words;
    for (const Keyword& k : kKeywords) words.push_back(k.word);
    return words;
}

SourceReader::SourceReader(Interpreter& ip_, std::u16string_view text_, uint32_t textId_,
                           std::u16string_view tokenFileName)
    : ip(ip_), text(text_), textId(textId_)
{
    includes.reserve(kMaxIncludeDepth);
    if (tokenFileName.empty()) return;
    // A token file that cannot be created leaves the compilation running without one.
    if (auto path = ip.Paths().HostPath(tokenFileName)) tokenWriter.emplace(*path);
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
    token = readingTokens ? NextRecord() : LexText();
    if (ip.ErrorPending()) {
        tokenValue = Value::Null();
        return token = token::End;
    }
    if (!readingTokens && tokenWriter) tokenWriter->Write(token, tokenValue);
    return token;
}

uint32_t SourceReader::LexText()
{
    for (;;) {
        if (Unit(position) == token::kTokenFileUnit) {
            readingTokens = true;
            ++position;
            return NextRecord();
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
    std::u16string file = name;
    if (!LoadFile(name, included)) {
        // Beside the program; a name too long for that leaves the bare
        // directory, which is no file.
        file = ip.Paths().PathBesideProgram(name);
        if (file.size() <= ip.Paths().ProgramDirectory().size() || !LoadFile(file, included)) {
            return RaiseAt(errIncludeFileNotFound);
        }
    }
    if (ip.ErrorPending()) return;
    includes.push_back({text, textId, position, tokenStart});
    // The interpreter keeps the text: errors of code compiled from it are
    // shown at their line in it long after this reader is gone.
    textId = Internals(ip).KeepSourceText(std::move(included), std::move(file));
    text = Internals(ip).SourceText(textId);
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

bool SourceReader::LoadFile(std::u16string_view name, std::u16string& out)
{
    const auto path = ip.Paths().HostPath(name);
    if (!path) return false;
    // A directory opens but cannot be read: it is no file to include.
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(*path);
    if (!bytes) return false;
    std::optional<std::u16string> text = DecodeScript(*bytes, ScriptRole::included);
    if (!text) {
        RaiseAt(errNotAScript, name);
        return true;
    }
    out = std::move(*text);
    return true;
}

void SourceReader::CorruptTokenFile()
{
    ip.RaiseErrorAt(errInvalidFileFormat, {static_cast<int32_t>(tokenStart), textId}, u"(token file)");
}

uint32_t SourceReader::NextRecord()
{
    const std::optional<TokenRecord> record = ReadTokenRecord(ip, text, position);
    if (!record) {
        CorruptTokenFile();
        return token::End;
    }
    tokenValue = record->value;
    position += record->units;
    return record->code;
}

} // namespace vellum
