// The lexer: turns a script text into tokens for the one-pass compiler.
//
// It works in place on the text. `include "file"` reads the named file and
// continues inside it (at most five deep); a text or included file that
// continues with the unit 0x04D2 is a token file, whose records are read
// instead of lexed. When given a token file name, the reader also writes
// every token it lexes there, includes expanded.
#pragma once

#include "engine/core/source_place.h"
#include "engine/core/value.h"
#include "engine/error/error_ids.h"
#include "engine/lexer/token_file.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Interpreter;

// Whether the word is one of the language's reserved words ("var", "if",
// "true", "include", ...); the script editor colours them.
bool IsKeyword(std::u16string_view word);
// All of them, for the grammars other editors colour scripts by, which a
// test holds to this list.
std::vector<std::u16string_view> Keywords();

class SourceReader {
public:
    static constexpr int kMaxIncludeDepth = 5;
    static constexpr size_t kMaxFileName = 260;
    static constexpr size_t kMaxWord = 1024;

    // textId names the text among the interpreter's kept texts (error places).
    SourceReader(Interpreter& ip, std::u16string_view text, uint32_t textId = kNoSourceText,
                 std::u16string_view tokenFileName = {});
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;
    ~SourceReader();

    // The next token becomes the current one (the pushed-back one first).
    uint32_t Next();
    // Raises the error unless the current token is code; then Next().
    uint32_t Expect(uint32_t code, ErrorId error);
    // Lexes the following token as current, keeping the current one pushed back.
    uint32_t Peek();
    // Exchanges the current and the pushed-back token (steps back after Peek).
    void SwapWithPushedBack();

    uint32_t Token() const { return token; }
    const Value& TokenValue() const { return tokenValue; }
    // Offset of the last lexed token in the buffer it came from.
    int32_t TokenPosition() const { return static_cast<int32_t>(tokenStart); }
    // The kept text the reader is in now: the compiled text or an included file.
    uint32_t TextId() const { return textId; }
    void RaiseAt(ErrorId id, std::u16string_view arg1 = {}, std::u16string_view arg2 = {});

    // Frees open includes and closes the token file.
    void Close();

private:
    struct Include {
        std::u16string_view savedText;
        uint32_t savedTextId;
        size_t savedPosition;
        size_t savedTokenStart;
    };
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    uint32_t Lex();
    uint32_t LexText();
    // The token of the token-file record at the position.
    uint32_t NextRecord();
    char16_t Unit(size_t at) const { return at < text.size() ? text[at] : 0; }
    void LexString(char16_t quote);
    void LexNumber();
    uint32_t LexWord();
    void OpenInclude();
    bool LeaveInclude();
    // Whether the file is there; one that is there but no script text
    // raises the error naming it.
    bool LoadFile(std::u16string_view name, std::u16string& out);
    void CorruptTokenFile();

    Interpreter& ip;
    std::u16string_view text;
    uint32_t textId;
    size_t position = 0;
    size_t tokenStart = 0;
    uint32_t token = 0;
    Value tokenValue;
    uint32_t pushedToken = 0x10001;
    Value pushedValue;
    std::vector<Include> includes;
    std::optional<TokenFileWriter> tokenWriter;
    bool readingTokens = false;
};

} // namespace vellum
