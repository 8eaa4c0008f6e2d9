// Tests of include directives beyond the scripts' cases: how included files
// are decoded, and where they are found.
#include "engine/vm/path_resolver.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

std::string IncludeOf(const fs::path& path) { return "include \"" + path.string() + "\""; }

// Script paths starting with a backslash lie under a root folder; other
// names are never found where the script is, only beside the program.
class DeviceFolder : public PathResolver {
public:
    explicit DeviceFolder(fs::path root) : root(std::move(root)) {}
    std::optional<fs::path> HostPath(std::u16string_view scriptPath) const override
    {
        if (scriptPath.empty() || scriptPath[0] != u'\\') return root / "elsewhere" / U8(scriptPath);
        std::string relative = U8(scriptPath.substr(1));
        for (char& c : relative) c = c == '\\' ? '/' : c;
        return root / relative;
    }
    std::u16string ProgramDirectory() const override { return u"\\prog\\"; }

private:
    fs::path root;
};

TEST(Include, DecodesUtf16WithMarkAndOtherwiseByteByByte)
{
    TempDir dir;
    ScriptHarness h;
    const fs::path utf16 = dir.WriteUtf16("utf16.q9c", "var s = \"\u0436\u00E9\"");
    EXPECT_EQ(h.Output(IncludeOf(utf16) + " Print(s)"), "жé\n");

    const std::string latin1 = "var t = \"\xE9\xFF\"";
    const fs::path bytes = dir.WriteBytes("latin1.q9c", std::vector<uint8_t>(latin1.begin(), latin1.end()));
    EXPECT_EQ(h.Output(IncludeOf(bytes) + " Print(t)"), "éÿ\n");

    // Only a file longer than the mark is UTF-16: FF FE alone is two letters.
    const fs::path markOnly = dir.WriteBytes("mark.q9c", {0xFF, 0xFE});
    const Outcome letters = h.Run(IncludeOf(markOnly));
    EXPECT_EQ(letters.error, "errUndeclaredVariable");
    EXPECT_EQ(letters.message, "Undeclared identifier \"ÿþ\"");
}

TEST(Include, FallsBackToTheProgramDirectory)
{
    TempDir dir;
    fs::create_directories(dir.Path() / "prog");
    dir.WriteUtf16("prog/lib.q9c", "var fromLib = 42");
    // "\prog\" and the name must stay below 260 units together.
    dir.WriteUtf16("prog/" + std::string(253, 'n'), "var longName = 1");
    dir.WriteUtf16("prog/" + std::string(254, 'n'), "var tooLong = 1");
    const DeviceFolder device(dir.Path());
    ScriptHarness h;
    h.ip.SetPathResolver(&device);
    EXPECT_EQ(h.Output("include \"lib.q9c\" Print(fromLib)"), "42\n");
    EXPECT_EQ(h.Output("include \"" + std::string(253, 'n') + "\" Print(longName)"), "1\n");
    EXPECT_EQ(h.Run("include \"" + std::string(254, 'n') + "\"").error, "errIncludeFileNotFound");
    // Names the resolver maps directly are tried first.
    dir.WriteUtf16("direct.q9c", "var direct = 7");
    EXPECT_EQ(h.Output("include \"\\direct.q9c\" Print(direct)"), "7\n");
    h.ip.SetPathResolver(nullptr);
}

} // namespace
} // namespace vellum::test
