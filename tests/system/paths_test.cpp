// Wildcard scans over links: a link back up the tree is not descended
// into, and no scan leaves the device folder (the masks themselves are
// checked by the script cases).
#include "system_harness.h"

namespace vellum::test {
namespace {

class PathsTest : public SystemHarness {
protected:
    void Touch(const std::filesystem::path& relative) { WriteBytes(relative, {'x'}); }
    // The quoted text of an array of strings.
    static std::string Listed(std::initializer_list<std::string> items)
    {
        std::string out = "{";
        int i = 0;
        for (const std::string& item : items) out += std::to_string(i++) + " = \"" + item + "\"";
        return out + "} ";
    }
};

TEST_F(PathsTest, ScanDirDeepListsFilesDepthFirst)
{
    for (const char* name : {"top.txt", "b/inner.txt", "b/c/deep.txt", "b/c/skip.dat", "A/first.TXT", "e/x.dat"})
        Touch(name);
    std::filesystem::create_directory(folder / "empty");
    // A link back up the tree must not be descended into.
    std::filesystem::create_directory_symlink(folder / "b", folder / "b" / "c" / "loop");
    EXPECT_EQ(Eval("ScanDirDeep('\\*.txt')"),
              Listed({"\\top.txt", "\\A\\first.TXT", "\\b\\inner.txt", "\\b\\c\\deep.txt"}));
    EXPECT_EQ(Eval("ScanDirDeep('\\B\\*')"), Listed({"\\b\\inner.txt", "\\b\\c\\deep.txt", "\\b\\c\\skip.dat"}));
    EXPECT_EQ(Eval("ScanDirDeep('\\e\\*.txt')"), "{} "); // entries, none matching
    EXPECT_EQ(Eval("ScanDirDeep('\\empty\\*.*')"), "null");
    EXPECT_EQ(Eval("ScanDirDeep('\\nowhere\\*.*')"), "null");
}

TEST_F(PathsTest, ScansStayInsideTheDeviceFolder)
{
    WriteFile(outside / "secret.txt", "s");
    Touch("inside.txt");
    std::filesystem::create_directory_symlink(outside, folder / "out");
    std::filesystem::create_symlink(outside / "secret.txt", folder / "leak.txt");
    for (const char* pattern : {"..\\..\\*.txt", "\\..\\*.txt", "\\out\\*.txt", "/../*.txt"}) {
        const std::string listed = Eval(std::string("ScanDir('") + pattern + "')");
        EXPECT_EQ(listed.find("secret"), std::string::npos) << pattern;
        EXPECT_EQ(listed.find("leak"), std::string::npos) << pattern;
        const std::string deep = Eval(std::string("ScanDirDeep('") + pattern + "')");
        EXPECT_EQ(deep.find("secret"), std::string::npos) << pattern;
    }
    EXPECT_EQ(Eval("ScanDir('..\\*.txt')"), Listed({"inside.txt"}));
    EXPECT_EQ(Eval("ScanDir('\\out\\*')"), "null");
    EXPECT_EQ(Eval("ScanDir(Char(0) & '\\*')"), "null");
    std::string deep;
    for (int i = 0; i < 200; ++i) deep += "\\a";
    EXPECT_EQ(Eval("ScanDir('" + deep + "\\*')"), "null");
}

} // namespace
} // namespace vellum::test
