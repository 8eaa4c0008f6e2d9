// Files and file streams where the bytes on disk matter; the script cases
// read and write texts in each encoding.
#include "system/time/date_number.h"
#include "system_harness.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <ctime>

namespace vellum::test {

namespace {

class FilesTest : public SystemHarness {
protected:
    FilesTest()
    {
        EXPECT_EQ(Run(R"(var t var w var i
function Show(cells)
    var out = ""
    for cell in cells out = out & "<" & AsStr(cell) & ">" end
    return out
end)"), "null");
    }
};

} // namespace

TEST_F(FilesTest, EveryWriteReachesTheFileBeforeItReturns)
{
    // The file is read while the stream is still open: nothing waits in a
    // buffer for Close or the end of the run.
    Run("w = File('live.txt').OpenWrite(true)");
    std::u16string written = u"\uFEFF";
    for (const auto& [statement, text] : {std::pair{"w.AppendLine('one')", u"one\r\n"}, {"w.Write('two')", u"two"},
                                          {"w.AppendLine('three')", u"three\r\n"}}) {
        Run(statement);
        written += text;
        EXPECT_EQ(ReadText(folder / "live.txt"), Utf16Le(written, false)) << statement;
    }
    Run("w.Close()");
}

TEST_F(FilesTest, LoadTextCutsLongFieldsAndReadsPastItsBuffer)
{
    WriteFile(folder / "long.txt", std::string(1500, 'w') + ",v");
    EXPECT_EQ(Eval("Show({LoadText('long.txt', ',')[1][1].Len(), LoadText('long.txt', ',')[1][2]})"), "\"<1000><v>\"");
    // Through more than one I/O buffer.
    std::string many;
    for (int i = 0; i < 30000; ++i) many += std::to_string(i) + ";x\n";
    WriteFile(folder / "many.txt", many);
    EXPECT_EQ(Run("t = LoadText('many.txt', ';') result = Show({Count(t), t[29999][1], t[30000][1], Count(t[30001]) & t[30001][1]})"),
              "\"<30001><29998><29999><1>\"");
}

TEST_F(FilesTest, TheCollectorClosesStreamsNeverClosed)
{
    WriteFile(folder / "forgot.txt", Utf16Le(u"a", false));
    // More opens than the process may have descriptors, none of them closed.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit few = saved;
    few.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const std::string last = Run("i = 0 while i < 3000 File('forgot.txt').OpenRead().ReadLine() i = i + 1 end "
                                 "result = File('forgot.txt').OpenRead().ReadLine()");
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(last, "\"a\"");
    ip->Collect();
    Run("File('forgot.txt').OpenWrite(false).Write('b')");
    ip->Collect();
    EXPECT_EQ(Eval("File('forgot.txt').Exists()"), "true");
    EXPECT_EQ(ReadText(folder / "forgot.txt"), Utf16Le(u"b", false));
}

TEST_F(FilesTest, TimeGivesTheFileTimesAsLocalDateNumbers)
{
    WriteBytes("t.txt", {'x'});
    const std::time_t when = 1621259130; // 2021-05-17 13:45:30 UTC
    std::tm local{};
    ASSERT_NE(::localtime_r(&when, &local), nullptr);
    const timespec times[2] = {{when, 250'000'000}, {when - 60, 250'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "t.txt").c_str(), times, 0), 0);
    const auto expected = system::DateNumberFromCalendar({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                          local.tm_hour, local.tm_min, local.tm_sec, 250},
                                                         system::FieldCheck::lenient);
    const auto number = [&](const std::string& call) {
        Run("result = " + call);
        return ip->GetGlobal(u"result");
    };
    EXPECT_EQ(number("File('t.txt').Time('accessed')").num, *expected);
    const double written = number("File('t.txt').Time()").num;
    EXPECT_NEAR(written, *expected - 60.0 / 86400.0, 1e-9); // well below a millisecond
    EXPECT_EQ(number("File('t.txt').Time('Created')").num, written);
    EXPECT_EQ(number("File('t.txt').Time(12)").num, written);
    EXPECT_TRUE(number("File('t.txt').Time('created')").IsNum());
    EXPECT_EQ(Eval("File('none.txt').Time()"), "null");
    std::filesystem::create_directory(folder / "dir");
    EXPECT_EQ(Eval("Show({File('dir').Time(), File('dir').Exists(), FromFile('dir'), LoadText('dir')})"),
              "\"<null><false><null><null>\"");
}

TEST_F(FilesTest, NoPathLeavesTheDeviceFolder)
{
    WriteFile(outside / "secret.txt", "top secret");
    WriteFile(folder / "inside.txt", Utf16Le(u"in", false));
    const std::string name = outside.filename().string();
    for (const std::string& path : {"..\\\\" + name + "\\\\secret.txt", "..\\..\\..\\..\\" + name + "\\secret.txt",
                                    (outside / "secret.txt").string(), "../" + name + "/secret.txt"}) {
        SCOPED_TRACE(path);
        const std::string p = "'" + path + "'";
        EXPECT_EQ(Eval("Show({File(" + p + ").Exists(), File(" + p + ").Time(), FromFile(" + p + "), LoadText(" + p +
                       "), File(" + p + ").OpenRead().ReadLine()})"),
                  "\"<false><null><null><null><>\"");
        Run("File(" + p + ").OpenWrite(true).Write('x') File(" + p + ").OpenWrite().AppendLine('x') ToFile('x', " +
            p + ") File(" + p + ").Delete() File('inside.txt').CopyTo(" + p + ")");
        EXPECT_EQ(ReadText(outside / "secret.txt"), "top secret");
        Run("File(" + p + ").CopyTo('stolen.txt')");
        EXPECT_FALSE(std::filesystem::exists(folder / "stolen.txt"));
    }
    Run("File('inside.txt').CopyTo('" + (outside / "new.txt").string() + "') ToFile(1, '..\\..\\" + name +
        "\\new2.txt')");
    EXPECT_FALSE(std::filesystem::exists(outside / "new.txt"));
    EXPECT_FALSE(std::filesystem::exists(outside / "new2.txt"));
}

} // namespace vellum::test
