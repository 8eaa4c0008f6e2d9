// Tests of include directives beyond the scripts' cases: where included
// files are found.
#include "engine/vm/path_resolver.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

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
}

} // namespace
} // namespace vellum::test
