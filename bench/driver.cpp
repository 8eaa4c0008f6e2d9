// vellum-bench: runs one script file through the engine alone, so the
// benchmark times the language and not the host around it.
//
// The natives it offers are the core library's message box as console mode
// has it (the text goes to standard output, the answer is the first button)
// and the methods of strings. A pending error at the end is printed the way
// the host's error box prints it in console mode, and the exit status is 1.

#include "engine/core/unicode.h"
#include "engine/vm/interpreter.h"
#include "host/corelib/string_methods.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Script files are UTF-16LE; a leading byte-order mark is not part of the
// text and an odd last byte cannot form a unit.
std::u16string DecodeUtf16Le(const std::vector<char>& bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[i]);
        auto hi = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
    return text;
}

struct CloseFile {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool ReadFile(const char* path, std::vector<char>& bytes)
{
    std::unique_ptr<FILE, CloseFile> file(std::fopen(path, "rb"));
    if (!file) return false;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    return !std::ferror(file.get());
}

void WriteLine(FILE* stream, std::u16string_view text)
{
    std::string line = vellum::ToUtf8(text);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stream);
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// MsgBox(text [, caption [, buttons [, icon]]]): nobody is there to press a
// button, so it answers with the first one, "yes" for the yes/no boxes and
// "ok" otherwise.
uint32_t MsgBox(vellum::Interpreter& ip)
{
    if (!ip.CheckArgs(1, 4)) return 0;
    WriteLine(stdout, ip.ArgText(1)->Utf16());
    const std::u16string buttons = ip.ArgText(3)->Utf16();
    bool yesFirst = EqualsIgnoringAsciiCase(buttons, u"yesNo") || EqualsIgnoringAsciiCase(buttons, u"yesNoCancel");
    ip.PushString(yesFirst ? u"yes" : u"ok");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCRIPT.q9c\n", argv[0]);
        return 2;
    }
    std::vector<char> bytes;
    if (!ReadFile(argv[1], bytes)) {
        std::fprintf(stderr, "vellum-bench: cannot read %s\n", argv[1]);
        return 2;
    }

    vellum::Interpreter ip;
    ip.RegisterFunction(u"MsgBox", MsgBox);
    vellum::RegisterStringMethods(ip);
    ip.RunSource(DecodeUtf16Le(bytes));
    if (ip.ErrorPending()) {
        WriteLine(stderr, u"Vellum Error: " + ip.FormatError());
        return 1;
    }
    return 0;
}
