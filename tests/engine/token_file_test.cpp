// Tests of token files that are cut short or damaged.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// The bytes of a token file as the text a script would be handed.
std::u16string AsText(const Bytes& bytes)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

Bytes WriteTokens(const TempDir& dir, std::string_view source)
{
    ScriptHarness h;
    const fs::path file = dir.Path() / "out.tok";
    h.ip.CompileSource(U16(source), U16(file.string()));
    EXPECT_FALSE(h.ip.ErrorPending()) << h.Take().message;
    return TempDir::ReadBytes(file);
}

Outcome RunTokens(const Bytes& bytes)
{
    ScriptHarness h;
    h.ip.RunSource(AsText(bytes));
    return h.Take();
}

// The token_files script runs listings, text followed by tokens and files
// made by hand; here every way a file can be cut or damaged.
TEST(TokenFile, CutOrDamagedFilesAreInvalid)
{
    TempDir dir;
    const Bytes tokens = WriteTokens(dir, "Print(1.5 & 'ab' & true & null)");
    ASSERT_EQ(RunTokens(tokens).output, "1.500000abtruenull\n");
    ScriptHarness h;
    for (size_t cut = 2; cut < tokens.size(); cut += 2) {
        h.ip.RunSource(AsText(Bytes(tokens.begin(), tokens.begin() + static_cast<long>(cut))));
        const Outcome o = h.Take();
        EXPECT_EQ(o.error + o.output, "errInvalidFileFormat") << "cut at " << cut;
    }

    // Offsets into the file above: the Print text's count at 6, the
    // number's tag at 30, the string's count at 54, the null's tag at 96.
    ASSERT_EQ(tokens[30], 2);
    ASSERT_EQ(tokens[92], 2);
    const std::pair<size_t, Bytes> damages[] = {
        {6, {0xFF, 0xFF, 0xFF, 0xFF}}, // a text longer than the file
        {6, {0, 0, 0, 0}},             // a text without its terminator
        {54, {0, 0, 0, 0x40}},
        {30, {3}}, // a number image claiming to be a string,
        {30, {6}}, // a table
        {96, {8}}, // or a null image a pointer
        {2, {0x17, 0, 1, 0}}, // the include and marker codes have no place in a token file
        {2, {0x18, 0, 1, 0}},
    };
    for (const auto& [at, bytes] : damages) {
        Bytes damaged = tokens;
        std::copy(bytes.begin(), bytes.end(), damaged.begin() + static_cast<long>(at));
        EXPECT_EQ(RunTokens(damaged).error, "errInvalidFileFormat") << "damage at " << at;
    }
    // Any single damaged byte gives an error or a program, never a crash.
    for (size_t at = 2; at < tokens.size(); ++at) {
        for (const uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
            Bytes damaged = tokens;
            damaged[at] = value;
            h.ip.RunSource(AsText(damaged));
            h.Take();
        }
    }
    EXPECT_EQ(h.Output("Print('still fine')"), "still fine\n");
}

} // namespace
} // namespace vellum::test
