// Tests of include directives: nesting, where included text goes, how
// included files are decoded and found, and the directive's errors.
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

TEST(Include, NestsFiveDeepAndRefusesTheSixth)
{
    TempDir dir;
    for (int level = 1; level <= 5; ++level) {
        dir.WriteUtf16("d" + std::to_string(level) + ".q9c",
                       "# level " + std::to_string(level) + "\n" +
                           IncludeOf(dir.Path() / ("d" + std::to_string(level + 1) + ".q9c")));
    }
    dir.WriteUtf16("d5.q9c", "var depth = 5");
    ScriptHarness h;
    const std::string main = IncludeOf(dir.Path() / "d1.q9c") + " Print(depth)";
    EXPECT_EQ(h.Output(main), "5\n");

    dir.WriteUtf16("d5.q9c", "# level 5\n" + IncludeOf(dir.Path() / "d6.q9c"));
    dir.WriteUtf16("d6.q9c", "var deeper = 6");
    ScriptHarness again;
    const Outcome sixth = again.Run(main);
    EXPECT_EQ(sixth.error, "errMaxIncludeDepthReached");
    EXPECT_EQ(sixth.message, "Maximal include depth reached - too many included files");
    // At the include word of the fifth file, counted within that file.
    EXPECT_EQ(sixth.position, 10);
}

TEST(Include, IncludedTokensFollowTheDirectiveDirectly)
{
    TempDir dir;
    const fs::path comment = dir.WriteUtf16("comment.q9c", "# nothing but a comment");
    const fs::path two = dir.WriteUtf16("two.q9c", "2");
    ScriptHarness h;
    EXPECT_EQ(h.Output("Print(1) " + IncludeOf(comment) + " Print(2)"), "1\n2\n");
    EXPECT_EQ(h.Output("Print(1 + " + IncludeOf(two) + " * 3 " + IncludeOf(comment) + ")"), "7\n");

    // Errors inside an included file count from its start; after it, from the includer's.
    const fs::path bad = dir.WriteUtf16("bad.q9c", "var a = )");
    EXPECT_EQ(h.Run(IncludeOf(bad)).position, 8);
    const std::string prefix = IncludeOf(comment) + "\n";
    const Outcome after = h.Run(prefix + ")");
    EXPECT_EQ(after.error, "errUnexpectedItem");
    EXPECT_EQ(after.position, static_cast<int32_t>(prefix.size()));
}

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

TEST(Include, DirectiveErrorsStandAtTheIncludeWord)
{
    TempDir dir;
    ScriptHarness h;
    const Outcome missing = h.Run("var x = 1\n" + IncludeOf(dir.Path() / "none.q9c"));
    EXPECT_EQ(missing.error, "errIncludeFileNotFound");
    EXPECT_EQ(missing.message, "Include file not found");
    EXPECT_EQ(missing.position, 10);

    // A folder opens on some systems but is not a file.
    EXPECT_EQ(h.Run(IncludeOf(dir.Path())).error, "errIncludeFileNotFound");

    const Outcome unquoted = h.Run("Print(1) include none");
    EXPECT_EQ(unquoted.error, "errQuotationMarksExpected");
    EXPECT_EQ(unquoted.message, "\" expected");
    EXPECT_EQ(unquoted.output, "");
    EXPECT_EQ(unquoted.position, 9);

    const Outcome unclosed = h.Run("include \"" + std::string(261, 'a'));
    EXPECT_EQ(unclosed.error, "errIncludeFileNameTooLong");
    EXPECT_EQ(unclosed.message, "Include filename too long (did you forget closing \" ?)");
    EXPECT_EQ(unclosed.position, 0);
    EXPECT_EQ(h.Run(" include \"" + std::string(300, 'a') + "\"").error, "errIncludeFileNameTooLong");
    // 260 units are still a name.
    EXPECT_EQ(h.Run("include \"" + std::string(260, 'a') + "\"").error, "errIncludeFileNotFound");
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
