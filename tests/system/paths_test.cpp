// File names, wildcard scans of a tree made here, and the program's and
// script's directories.
#include "system_harness.h"

#include <sys/stat.h>

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

TEST_F(PathsTest, FileNameParts)
{
    EXPECT_EQ(Eval("FileName('\\dir.x\\a.b.txt')"), "\"a\"");
    EXPECT_EQ(Eval("FileName('\\dir.x\\a.b.txt', 'ext')"), "\".b.txt\"");
    EXPECT_EQ(Eval("FileName('\\dir.x\\a.b.txt', 'path')"), "\"\\dir.x\\\"");
    EXPECT_EQ(Eval("FileName('plain')"), "\"plain\"");
    EXPECT_EQ(Eval("FileName('plain', 'ext') & '|' & FileName('plain', 'path')"), "\"|\"");
    // Parts are compared exactly; anything else is the name.
    EXPECT_EQ(Eval("FileName('\\d\\f.txt', 'EXT')"), "\"f\"");
    EXPECT_EQ(Eval("FileName('\\d\\.profile', 'name') & '|' & FileName('\\d\\', "
                   "'name')"),
              "\"|\"");
    // Only backslashes separate; numbers are taken as their text.
    EXPECT_EQ(Eval("FileName('a/b.c', 'path')"), "\"\"");
    EXPECT_EQ(Eval("FileName(12.5, 'ext')"), "\".500000\"");
    EXPECT_EQ(Eval("FileName('" + std::string(260, 'a') + "')").size(), 262u);
    EXPECT_EQ(Eval("FileName('" + std::string(261, 'a') + "')"), "null");
    EXPECT_EQ(Eval("FileName()"), "!errFewArguments");
    EXPECT_EQ(Eval("FileName('a', 'b', 'c')"), "!errManyArguments");
}

TEST_F(PathsTest, ScanDirMatchesMasksInAStableOrder)
{
    for (const char* name : {"b.txt", "A.TXT", "c.Txt", "noext", "d.txt.bak", "a1.txt", "a22.txt"}) Touch(name);
    std::filesystem::create_directory(folder / "Sub.dir");
    EXPECT_EQ(Eval("ScanDir('\\*.txt')"), Listed({"A.TXT", "a1.txt", "a22.txt", "b.txt", "c.Txt"}));
    EXPECT_EQ(Eval("ScanDir('*.*')"),
              Listed({"A.TXT", "a1.txt", "a22.txt", "b.txt", "c.Txt", "d.txt.bak", "noext", "Sub.dir"}));
    EXPECT_EQ(Eval("ScanDir('\\a?.TXT')"), Listed({"a1.txt"}));
    EXPECT_EQ(Eval("ScanDir('\\*t')"), Listed({"A.TXT", "a1.txt", "a22.txt", "b.txt", "c.Txt", "noext"}));
    EXPECT_EQ(Eval("ScanDir('\\noext.*')"), Listed({"noext"}));
    EXPECT_EQ(Eval("ScanDir('\\SUB.DIR\\*')"), "null"); // an empty directory
    EXPECT_EQ(Eval("ScanDir('\\*.none')"), "null");
    Touch("u/Äpfel.TXT");
    EXPECT_EQ(Eval("ScanDir('\\U\\ä*.txt')"), Listed({"Äpfel.TXT"}));
    // A mask of many stars still matches in bounded time.
    EXPECT_EQ(Eval("ScanDir('\\" + std::string(200, '*') + "b?txt')"), Listed({"b.txt"}));
    EXPECT_EQ(Eval("ScanDir('\\missing\\*')"), "null");
    EXPECT_EQ(Eval("ScanDir('\\')"), "null");
    EXPECT_EQ(Eval("ScanDir()"), "!errFewArguments");
}

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
    const auto outside = NewFolder();
    WriteBytes(outside.lexically_relative(folder) / "secret.txt", {'s'});
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
    std::filesystem::remove_all(outside);
}

TEST_F(PathsTest, DirectoriesAndFixedAnswers)
{
    EXPECT_EQ(Eval("GetAppDir()"), "\"\\\"");
    EXPECT_EQ(Eval("GetDllDir('coredll.dll')"), "\"\\\"");
    EXPECT_EQ(Eval("GetDllDir()"), "!errFewArguments");
    EXPECT_EQ(Eval("DocDir()"), "\"\"");
    ip->Messages().scriptPath = u"\\apps\\demo\\main.q9c";
    EXPECT_EQ(Eval("DocDir()"), "\"\\apps\\demo\\\"");
    ip->Messages().scriptPath = u"main.q9c";
    EXPECT_EQ(Eval("DocDir()"), "\"\"");
    EXPECT_EQ(Eval("IsMobileOS()"), "true");
    EXPECT_EQ(Eval("FileIcon('x')"), "null");
    EXPECT_EQ(Eval("FileIcon()"), "!errFewArguments");
    EXPECT_EQ(Eval("CopyFilePC2Device('a', 'b')"), "\"Error: this is only PC function\"");
    EXPECT_EQ(Eval("CopyFileDevice2PC('a', 'b')"), "\"Error: this is only PC function\"");
    EXPECT_EQ(Eval("CopyFileDevice2PC('a')"), "!errFewArguments");
}

} // namespace
} // namespace vellum::test
