// Tests of the core library where scripts alone cannot show a fault: the
// edge cases of the string
// methods, the separation of RunScript's interpreter from its caller,
// CompileLex's listing and error box, and files made in the device folder.
#include "engine/core/unicode.h"
#include "host/error_box.h"
#include "host/register_libraries.h"
#include "host/script_file.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>

namespace vellum {
namespace {

namespace fs = std::filesystem;

fs::path NewFolder()
{
    static int next = 0;
    const fs::path path =
        fs::temp_directory_path() / ("vellum-core-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
    fs::remove_all(path);
    fs::create_directories(path);
    return path;
}

void WriteScript(const fs::path& file, std::string_view utf8)
{
    std::ofstream out(file, std::ios::binary);
    out << "\xFF\xFE";
    for (const char16_t unit : FromUtf8(utf8)) out << static_cast<char>(unit & 0xFF) << static_cast<char>(unit >> 8);
}

struct Outcome {
    std::string value; // quoted text of the result, or "!" and the error identifier
    std::string message;
};

// An interpreter with every library over a fresh device folder, in console mode.
class CoreLibrary : public ::testing::Test {
protected:
    CoreLibrary() : folder(NewFolder()), device(folder), ip(NewInterpreter(device, &box))
    {
        platform::SetConsoleMode(true);
        // Join shows a table's values in order, each after a bar.
        ip->RunSource(u"var result function Join(t) var s = '' for v in t s = s & '|' & v end return s end");
    }
    ~CoreLibrary() override { fs::remove_all(folder); }

    // Runs statements (UTF-8) that may set `result`.
    Outcome Run(std::string_view statements)
    {
        ip->RunSource(FromUtf8(statements));
        if (ip->ErrorPending()) {
            Outcome failed{"!" + ToUtf8(ip->ErrorIdentifier()), ToUtf8(ip->FormatError())};
            ip->ClearError();
            return failed;
        }
        return {ToUtf8(ip->ToString(ip->GetGlobal(u"result"), true, false)->View()), {}};
    }
    std::string Eval(std::string_view expression) { return Run("result = " + std::string(expression)).value; }

    const fs::path folder;
    const platform::DeviceFolder device;
    ErrorBox box;
    std::unique_ptr<Interpreter> ip;
};

TEST_F(CoreLibrary, CaseMappingIsTheSameInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    EXPECT_EQ(Eval("'straße ÿ ŉ łódź ἀ ς αβγ ёжи'.Upper()"), "\"STRAßE Ÿ ŉ ŁÓDŹ ἀ Σ ΑΒΓ ЁЖИ\"");
    EXPECT_EQ(Eval("'ÀÉÎ İ ΣΑΣ ΆΏ ЁЖИ Ӂ'.Lower()"), "\"àéî i σασ άώ ёжи ӂ\"");
    // Upper makes a new string; the receiver keeps its text.
    EXPECT_EQ(Run("var s = 'abc'\nvar t = s.Upper()\nresult = s & t").value, "\"abcABC\"");
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
    // Substr: a start outside the string or a negative count gives the empty string.
    EXPECT_EQ(Eval("'abc'.Substr(-1, 2)"), "\"\"");
    EXPECT_EQ(Eval("'abc'.Substr(3, 1)"), "\"\"");
    EXPECT_EQ(Eval("'abc'.Substr(4, 1)"), "\"\"");
    EXPECT_EQ(Eval("'abc'.Substr(1, -1)"), "\"\"");
    EXPECT_EQ(Eval("'abc'.Substr(-0.9, 1e30)"), "\"abc\"");
    EXPECT_EQ(Eval("'abc'.Substr('1', 1)"), "!errNumberExpected");
    // Split by the empty text gives single units; the empty string one empty piece.
    EXPECT_EQ(Eval("Join('aé'.Split(''))"), "\"|a|é\"");
    EXPECT_EQ(Eval("Join(''.Split(''))"), "\"|\"");
    EXPECT_EQ(Eval("Join(''.Split(','))"), "\"|\"");
    EXPECT_EQ(Eval("Join('a--b----'.Split('--'))"), "\"|a|b||\"");
    // Find and Replace: out-of-range numbers give null, however large.
    EXPECT_EQ(Eval("'abc'.Find('a', -1e20)"), "null");
    EXPECT_EQ(Eval("'abc'.Find('', 3)"), "null");
    EXPECT_EQ(Eval("'abc'.Find('', 2.7)"), "2");
    EXPECT_EQ(Eval("'abc'.Find('bc', 1)"), "1");
    EXPECT_EQ(Eval("'abc'.Replace('X', 1e12)"), "null");
    EXPECT_EQ(Eval("'abc'.Replace('X', 1, 1e12)"), "null");
    EXPECT_EQ(Eval("'abc'.Replace('', 0, 3)"), "\"\"");
    EXPECT_EQ(Eval("'abc'.Replace(12, 1, 2)"), "\"a12\"");
    EXPECT_EQ(Eval("'abc'.Len(1)"), "!errManyArguments");
    // Char keeps the low 16 bits; a zero unit or a non-number gives the empty string or null.
    EXPECT_EQ(Eval("Char(65.9) & Char(131137) & Char(0.5) & Char(1e300)"), "\"AA\"");
    EXPECT_EQ(Eval("Char(null)"), "null");
    // Not takes bools only.
    EXPECT_EQ(Eval("Not(1)"), "!errBoolExpected");
    EXPECT_EQ(Eval("Sum({1, 'x', {2}, 2.5})"), "3.500000");
}

TEST_F(CoreLibrary, RunScriptSharesNothingWithTheCaller)
{
    // The caller's globals do not exist inside.
    const std::string undeclared = Run("var outer = 1\nresult = RunScript('MsgBox(outer)')").value;
    EXPECT_NE(undeclared.find("\"pos\" = 7"), std::string::npos) << undeclared;
    EXPECT_NE(undeclared.find("\"text\" = \"Undeclared identifier"), std::string::npos) << undeclared;
    EXPECT_FALSE(ip->ErrorPending());
    // Globals set inside stay inside, and the caller's globals stay unchanged.
    EXPECT_EQ(Eval("RunScript('SetAppName(1) var outer = 2')"), "null");
    EXPECT_TRUE(ip->GetGlobal(u"gAppName").IsNull());
    EXPECT_EQ(Eval("outer"), "1");
    // A run-time error comes back with its position; Die is a clean end.
    EXPECT_EQ(Eval("RunScript('var a = 1\nMax(a)').text"), "\"Too few arguments to function\"");
    EXPECT_EQ(Eval("RunScript('var a = 1\nMax(a)').pos"), "13"); // at the call's bracket
    testing::internal::CaptureStdout();
    EXPECT_EQ(Eval("RunScript('Die(\"inner\") MsgBox(\"after\")')"), "null");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "inner\n");
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
    EXPECT_EQ(Run("result = 0 " + quine).value, "0");
    std::string levels = "table\n";
    for (int i = 0; i < 15; ++i) levels += "null\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), levels);
    // The inner interpreter uses the caller's device folder.
    EXPECT_EQ(Eval("RunScript('MkDir(\"made\")')"), "null");
    EXPECT_TRUE(fs::is_directory(folder / "made"));
}

TEST_F(CoreLibrary, CompileLexWritesAListingThatRunsAsTheSameProgram)
{
    WriteScript(folder / "greeting.q9c", "var Greeting = 'hé'");
    WriteScript(folder / "prog.q9c", "include \"greeting.q9c\"\nMsgBox(Greeting & Count({1, 2}))");
    testing::internal::CaptureStdout();
    EXPECT_EQ(Run("CompileLex('prog.q9c', '\\listing.tok')").value, "null");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // compiled, not run
    fs::remove(folder / "greeting.q9c");
    const auto listing = ReadScriptFile(folder / "listing.tok");
    ASSERT_TRUE(listing);
    ErrorBox innerBox;
    const auto fresh = NewInterpreter(device, &innerBox);
    testing::internal::CaptureStdout();
    fresh->RunSource(*listing);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "hé2\n");
    EXPECT_FALSE(fresh->ErrorPending());

    // A compile error is shown at once, at its line and column, and is not the caller's.
    WriteScript(folder / "bad.q9c", "var a = 1\nvar = 2");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run("CompileLex('BAD.q9c', '')").value, "null");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Vellum Error: Variable identifier expected (line 2, column 5)\n");

    // A file that cannot be read is the caller's error, also when it lies outside the folder.
    const Outcome missing = Run("CompileLex('missing.q9c', 'x')");
    EXPECT_EQ(missing.value, "!errFileNotFound");
    EXPECT_EQ(missing.message, "File not found missing.q9c");
    EXPECT_EQ(Run("CompileLex('..\\\\..\\\\..\\\\etc\\\\hostname', 'x')").value, "!errFileNotFound");
    EXPECT_FALSE(fs::exists(folder / "x"));
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

TEST_F(CoreLibrary, MessageBoxesDieAndLocalisedMessages)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(Eval("MsgBox('q', 'c', 'YESNOCANCEL', 'question') & MsgBox('p', 'c', 'OkCancel')"), "\"yesok\"");
    // Die shows its text, ends the run quietly and leaves no error.
    EXPECT_EQ(Run("function F() Die('bye') result = 'after' end\nresult = 'before' F() result = 'end'").value,
              "\"before\"");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "q\np\nbye\n");
    EXPECT_EQ(Run("gEnvironment.SetLocStr('de', 'errNumberExpected', 'Zahl erwartet')\n"
                  "gEnvironment.SetLocale('deu')\nMax('a', 1)")
                  .message,
              "Zahl erwartet");
    EXPECT_EQ(ip->Messages().Locale(), u"de");
    EXPECT_EQ(Eval("GCEnabled(false)"), "false");
    EXPECT_FALSE(ip->CollectorEnabled());
    EXPECT_EQ(Eval("GCEnabled(1)"), "!errBoolExpected");
    EXPECT_EQ(Eval("GCEnabled()"), "false");
}

} // namespace
} // namespace vellum
