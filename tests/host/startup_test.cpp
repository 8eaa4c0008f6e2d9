// Tests of the program as users start it: reading the start-up script, the
// command line, console mode's output and exit status, --check and Ctrl+C.
#include "host/script_file.h"
#include "host/file_bytes.h"
#include "host/program_run.h"
#include "host/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

namespace vellum {
namespace {

namespace fs = std::filesystem;

using namespace test;

TEST(ScriptFile, KeepsTokenRecordsAndRefusesWhatIsNeitherEncoding)
{
    TempFolder dir;
    const auto read = [&](const std::string& bytes) {
        WriteBytes(dir.path / "s.q9c", bytes);
        return ReadScriptFile(dir.path / "s.q9c");
    };
    // The script cases read marks, odd sizes and both encodings; here the
    // zeros that pad a text and a token file's records, kept after the zero
    // unit that ends a text, and no bytes at all.
    EXPECT_EQ(read(std::string("a\0\0\0\0\0", 6)).text, std::u16string(u"a\0\0", 3));
    EXPECT_EQ(read(std::string("\xD2\x04\x01\0\0\0", 6)).text, std::u16string(u"\u04D2\x01\0", 3));
    EXPECT_EQ(read("").text, u"");
    // Neither: broken UTF-8 after its mark, big-endian UTF-16, a lone
    // surrogate, control bytes, a zero unit inside the text.
    for (const std::string& bytes : {std::string("\xEF\xBB\xBF\xC3"), std::string("\xFE\xFF\0a\0b", 6),
                                     std::string("a\0\x00\xD8", 4), std::string("\x01\0\x02\0", 4),
                                     std::string("a\0\0\0b\0", 6)}) {
        const ScriptFileText neither = read(bytes);
        EXPECT_TRUE(neither.found);
        EXPECT_FALSE(neither.text) << testing::PrintToString(bytes);
    }
    EXPECT_FALSE(ReadScriptFile(dir.path / "missing.q9c").found);
    EXPECT_FALSE(ReadScriptFile(dir.path).found);
}

TEST(Program, CommandLineAndConsoleRuns)
{
    // A folder's default.q9c runs as the script cases and the examples
    // show; a folder without one is refused in one line.
    TempFolder empty;
    const ProgramRun r = RunProgram({"--console", Path(empty.path)});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no start-up script"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    EXPECT_EQ(RunProgram({"--version"}).out.rfind("vellum ", 0), 0u);
    EXPECT_EQ(RunProgram({"--help"}).status, 0);
    EXPECT_EQ(RunProgram({"--bogus"}).status, 2);
    EXPECT_EQ(RunProgram({"--console", "/no/such/place.q9c"}).status, 2);
}

TEST(Program, CheckPrintsEachErrorWhereEditorsFindIt)
{
    TempFolder dir;
    fs::create_directories(dir.path / "sub");
    WriteBytes(dir.path / "sub" / "good.q9c", "var x = 1\nfunction F() return TForm end\n");
    WriteBytes(dir.path / "sub" / "bad.q9c", "var s = '\xE2\x82\xAC'\nvar y = (1 +\n");
    WriteScript(dir.path / "sub" / "lib.q9c", "var z = 1\nvar = 2");
    WriteBytes(dir.path / "sub" / "uses.q9c", "include \"lib.q9c\"\n");
    WriteBytes(dir.path / "sub" / "runs.q9c", "MsgBox('ran')\nFile('\\made.txt').OpenWrite(true).Close()\n");
    WriteBytes(dir.path / "sub" / "picture.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01", 20));
    QProcess process;
    process.setWorkingDirectory(Path(dir.path));
    const auto check = [&](const QStringList& files) {
        StartProgram(process, QStringList{"--check"} + files);
        process.waitForFinished(20000);
        return std::pair(process.exitCode(), process.readAllStandardOutput().toStdString());
    };
    // Compiled, not run; names the library's globals without complaint.
    EXPECT_EQ(check({"sub/good.q9c", "sub/runs.q9c"}), std::pair(0, std::string()));
    EXPECT_FALSE(fs::exists(dir.path / "sub" / "made.txt"));
    // Every file is checked; each error on a line of its own, columns in
    // UTF-16 units, an included file's error named by that file.
    EXPECT_EQ(check({"sub/bad.q9c", "sub/good.q9c", "sub/uses.q9c", "sub/missing.q9c", "sub/picture.png"}),
              std::pair(1, std::string("sub/bad.q9c:3:1: error: Unexpected item\n"
                                       "sub/lib.q9c:2:5: error: Variable identifier expected\n"
                                       "sub/missing.q9c:1:1: error: File not found sub/missing.q9c\n"
                                       "sub/picture.png:1:1: error: picture.png is not a script: it is neither "
                                       "UTF-16 nor UTF-8 text\n")));
    EXPECT_EQ(check({}).first, 2);
}

TEST(Program, CtrlCStopsAConsoleRunWithItsFilesWritten)
{
    TempFolder dir;
    WriteBytes(dir.path / "default.q9c", "var log = File('\\log.txt').OpenWrite(true)\n"
                                         "log.AppendLine('first')\nlog.AppendLine('second')\n"
                                         "MsgBox('looping')\nvar i = 0\nwhile true i = i + 1 end\n");
    QProcess process;
    StartProgram(process, {"--console", Path(dir.path)});
    ASSERT_TRUE(process.waitForReadyRead(20000));
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "looping\n");
    EXPECT_FALSE(process.waitForFinished(300));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130);
    // Stopped somewhere in the loop on the last line.
    EXPECT_EQ(process.readAllStandardError().toStdString().rfind("Vellum Error: Stopped (line 6, column ", 0), 0u);
    EXPECT_EQ(ReadBytes(dir.path / "log.txt"), Utf16Le("first\r\nsecond\r\n"));
}

} // namespace
} // namespace vellum
