// Tests of the core library where scripts alone cannot show a fault: case
// mapping in the C locale, numbers far out of range in the string methods,
// RunScript's results and depth, and folders made in the device folder.
#include "system/system_harness.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

namespace vellum {
namespace {

namespace fs = std::filesystem;

// An interpreter with every library over a fresh device folder, in console mode.
using CoreLibrary = test::SystemHarness;

TEST_F(CoreLibrary, CaseMappingIsTheSameInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    EXPECT_EQ(Eval("'straße ÿ ŉ łódź ἀ ς αβγ ёжи'.Upper()"), "\"STRAßE Ÿ ŉ ŁÓDŹ ἀ Σ ΑΒΓ ЁЖИ\"");
    EXPECT_EQ(Eval("'ÀÉÎ İ ΣΑΣ ΆΏ ЁЖИ Ӂ'.Lower()"), "\"àéî i σασ άώ ёжи ӂ\"");
    // Upper makes a new string; the receiver keeps its text.
    EXPECT_EQ(Run("var s = 'abc'\nvar t = s.Upper()\nresult = s & t"), "\"abcABC\"");
    // Lookup folds variants onto their plain letters.
    EXPECT_EQ(Eval("Lookup({'x', 'ΟΔΟΣ'}, 'οδο\u03C2')"), "1"); // final sigma
    EXPECT_EQ(Eval("Lookup({'x', 'I'}, '\u0131')"), "1");          // dotless i
    EXPECT_EQ(Eval("Lookup({'ПРИВЕТ'}, 'привет')"), "0");
    EXPECT_EQ(Eval("Lookup({1, 'Straße'}, 'STRAßE')"), "1");
    EXPECT_EQ(Eval("Lookup({1, 2}, 'STRASSE')"), "null");
    // Values are compared by their text.
    EXPECT_EQ(Eval("Lookup({'a', 2.5, true}, 'TRUE')"), "2");
}

TEST_F(CoreLibrary, StringMethodsAtTheEdges)
{
    // Numbers far out of range give the empty string or null, never a wrapped position.
    EXPECT_EQ(Eval("'abc'.Substr(-0.9, 1e30)"), "\"abc\"");
    EXPECT_EQ(Eval("'abc'.Substr('1', 1)"), "!errNumberExpected");
    EXPECT_EQ(Eval("'abc'.Find('a', -1e20)"), "null");
    EXPECT_EQ(Eval("'abc'.Find('', 3)"), "null");
    EXPECT_EQ(Eval("'abc'.Find('', 2.7)"), "2");
    EXPECT_EQ(Eval("'abc'.Replace('X', 1e12)"), "null");
    EXPECT_EQ(Eval("'abc'.Replace('X', 1, 1e12)"), "null");
    EXPECT_EQ(Eval("'abc'.Len(1)"), "!errManyArguments");
    EXPECT_EQ(Eval("Char(1e300)"), "\"\"");
    EXPECT_EQ(Eval("Not(1)"), "!errBoolExpected");
}

TEST_F(CoreLibrary, RunScriptResultsOutliveItsInterpreterAndItsDepthIsBounded)
{
    // The texts of the result belong to the caller: they survive a collection
    // after the inner interpreter is gone.
    Run("var keep = RunScript('var t = {} while Count(t) < 3000 t[] = AsStr(Count(t)) end Max()')");
    ip->Collect();
    EXPECT_EQ(Eval("keep.text & keep.pos"), "\"Too few arguments to function62\"");
    // A script that runs itself again stops at a bounded depth instead of
    // exhausting the native stack: the deepest call fails in its caller.
    const std::string self = "var s = Q var r = RunScript(s.Replace(Char(39) & s & Char(39), s.Find(Char(81)), 1))"
                             " MsgBox(ValType(r))";
    std::string quine = self;
    quine.replace(self.find('Q'), 1, "'" + self + "'");
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run("result = 0 " + quine), "0");
    std::string levels = "table\n";
    for (int i = 0; i < 15; ++i) levels += "null\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), levels);
    // The inner interpreter uses the caller's device folder.
    EXPECT_EQ(Eval("RunScript('MkDir(\"made\")')"), "null");
    EXPECT_TRUE(fs::is_directory(folder / "made"));
}

TEST_F(CoreLibrary, MkDirMakesOnlyTheLastDirectoryInsideTheFolder)
{
    EXPECT_EQ(Eval("MkDir('\\\\docs')"), "null");
    EXPECT_TRUE(fs::is_directory(folder / "docs"));
    EXPECT_EQ(Eval("MkDir('docs\\\\a\\\\b')"), "null"); // parent missing
    EXPECT_FALSE(fs::exists(folder / "docs" / "a"));
    EXPECT_EQ(Eval("MkDir('docs')"), "null"); // exists already: no error
    EXPECT_EQ(Eval("MkDir('..\\\\..\\\\escaped')"), "null");
    EXPECT_FALSE(fs::exists(folder.parent_path() / "escaped"));
    EXPECT_TRUE(fs::is_directory(folder / "escaped")); // ".." stops at the device root
}

} // namespace
} // namespace vellum
