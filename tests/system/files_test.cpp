// Files and file streams as scripts use them: reading lines in each
// encoding, writing and appending, whole-file values and text tables,
// opens that exclude each other, and paths that try to leave the folder.
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
        EXPECT_EQ(Run(R"(
function Lines(path, codePage)
    var stream = File(path).OpenRead()
    if codePage != 0 stream.SetEncoding(codePage) end
    var out = ""
    var line = stream.ReadLine()
    while line != null
        out = out & "[" & line & "]"
        line = stream.ReadLine()
    end
    stream.Close()
    return out
end
var s var r var t var first var w var w2 var r1 var r2 var i
function Show(cells)
    var out = ""
    for cell in cells out = out & "<" & AsStr(cell) & ">" end
    return out
end
function Row(cells)
    var out = ""
    for cell in cells out = out & "<" & cell & ">" end
    return out
end)"), "null");
    }

    std::string Lines(const std::string& path, int codePage = 0)
    {
        return Eval("Lines('" + path + "', " + std::to_string(codePage) + ")");
    }
    bool Exists(const std::string& relative) { return std::filesystem::exists(folder / relative); }
};

std::vector<uint8_t> Utf16Le(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

} // namespace

TEST_F(FilesTest, ReadLineFindsTheEncodingAndSplitsEveryLineEnd)
{
    WriteBytes("le_mark.txt", {0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0x42, 0x04});
    EXPECT_EQ(Lines("le_mark.txt"), "\"[a][\u0442]\"");
    WriteBytes("le.txt", {'A', 0, 'B', 0});
    EXPECT_EQ(Lines("le.txt"), "\"[AB]\"");
    WriteBytes("be_mark.txt", {0xFE, 0xFF, 0x04, 0x42, 0, 'x'});
    EXPECT_EQ(Lines("be_mark.txt"), "\"[\u0442x]\"");
    WriteBytes("be.txt", {0, 'A', 0, 'B'});
    EXPECT_EQ(Lines("be.txt"), "\"[AB]\"");
    // A first unit of 256 or more without zero bytes: the stream's code page.
    WriteBytes("wide_first.txt", {'A', 'B', 'C', 'D'});
    EXPECT_EQ(Lines("wide_first.txt"), "\"[\u4241\u4443]\"");
    EXPECT_EQ(Lines("wide_first.txt", 1252), "\"[ABCD]\"");

    // 8-bit text is two bytes per unit until the code page is set.
    WriteBytes("ansi.txt", {'h', 'i', 0xE9, '!', '\r', 'x'});
    EXPECT_EQ(Lines("ansi.txt"), "\"[\u6968\u21E9\u780D]\"");
    EXPECT_EQ(Lines("ansi.txt", 1252), "\"[hi\u00E9!][x]\"");
    EXPECT_EQ(Lines("ansi.txt", 1251), "\"[hi\u0439!][x]\"");

    // CR, LF and CR LF mixed; a final line end gives one more empty line.
    WriteBytes("ends.txt", Utf16Le(u"a\rb\nc\r\nd\n\re\r\n"));
    EXPECT_EQ(Lines("ends.txt"), "\"[a][b][c][d][][e][]\"");
    // A zero unit ends the text.
    WriteBytes("zero.txt", Utf16Le(std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(Lines("zero.txt"), "\"[ab]\"");

    WriteBytes("empty.txt", {});
    EXPECT_EQ(Lines("empty.txt"), "\"[]\"");
    EXPECT_EQ(Lines("one_byte.txt"), "\"[]\"") << "a file that is not there reads one empty line";
    WriteBytes("one_byte.txt", {'z'});
    EXPECT_EQ(Lines("one_byte.txt", 1252), "\"[z]\"");

    // Reading past the end never leaves an error behind.
    EXPECT_EQ(Run("s = File('le.txt').OpenRead() s.ReadLine() s.ReadLine() result = s.ReadLine()"), "null");
}

TEST_F(FilesTest, AppendLineWritesTheMarkOnlyIntoAnEmptyFile)
{
    Run("s = File('log.txt').OpenWrite() s.AppendLine('one') s.AppendLine(2) s.Close()");
    std::vector<uint8_t> expected{0xFF, 0xFE};
    const auto lines = Utf16Le(u"one\r\n2\r\n");
    expected.insert(expected.end(), lines.begin(), lines.end());
    EXPECT_EQ(ReadBytes("log.txt"), expected);
    EXPECT_EQ(Lines("log.txt"), "\"[one][2][]\"");

    // Appending goes to the end even after reading, and adds no mark to a
    // file that has none.
    WriteBytes("plain.txt", Utf16Le(u"x\r\n"));
    Run("s = File('plain.txt').OpenWrite() s.Write('ab') s.AppendLine('y') s.Close()");
    EXPECT_EQ(ReadBytes("plain.txt"), Utf16Le(u"ab\ny\r\n"));
}

TEST_F(FilesTest, OpenWriteKeepsOrEmptiesTheFile)
{
    WriteBytes("w.txt", Utf16Le(u"abcdef"));
    Run("s = File('w.txt').OpenWrite() s.Write('XY') s.Write(42) s.Close()");
    EXPECT_EQ(ReadBytes("w.txt"), Utf16Le(u"XYcdef")) << "only strings are written";
    Run("s = File('w.txt').OpenWrite(false) s.Write('1') s.Close()");
    EXPECT_EQ(ReadBytes("w.txt"), Utf16Le(u"1Ycdef"));
    Run("s = File('w.txt').OpenWrite(true) s.Write('Q') s.Close()");
    EXPECT_EQ(ReadBytes("w.txt"), Utf16Le(u"Q"));
    Run("File('sub/new.txt').OpenWrite(true).Close()");
    EXPECT_FALSE(Exists("sub/new.txt")) << "no folder is made";
    Run("File('new.txt').OpenWrite().Close()");
    EXPECT_EQ(ReadBytes("new.txt"), std::vector<uint8_t>{});

    // After Close the methods still run but read and write nothing.
    WriteBytes("c.txt", Utf16Le(u"keep\r\nmore"));
    EXPECT_EQ(Run("s = File('c.txt').OpenWrite() s.Close() s.Write('zz') s.AppendLine('zz') s.Close() "
                  "result = s.ReadLine()"),
              "\"\"");
    EXPECT_EQ(ReadBytes("c.txt"), Utf16Le(u"keep\r\nmore"));
    EXPECT_EQ(Run("r = File('c.txt').OpenRead() first = r.ReadLine() r.Close() "
                  "result = Show({first, r.ReadLine(), r.ReadLine()})"),
              "\"<keep><><null>\"");
}

TEST_F(FilesTest, EveryWriteReachesTheFileBeforeItReturns)
{
    // The file is read while the stream is still open: nothing waits in a
    // buffer for Close or the end of the run.
    std::vector<uint8_t> expected{0xFF, 0xFE};
    const auto append = [&expected](std::u16string_view text) {
        const auto bytes = Utf16Le(text);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    };
    Run("w = File('live.txt').OpenWrite(true) w.AppendLine('one')");
    append(u"one\r\n");
    EXPECT_EQ(ReadBytes("live.txt"), expected);
    Run("w.Write('two')");
    append(u"two");
    EXPECT_EQ(ReadBytes("live.txt"), expected);
    Run("w.AppendLine('three')");
    append(u"three\r\n");
    EXPECT_EQ(ReadBytes("live.txt"), expected);
    Run("w.Close()");
}

// The scripts check how arguments are checked; here the class tables
// themselves, which have no file behind them.
TEST_F(FilesTest, MethodsOfTheClassTablesDoNothing)
{
    EXPECT_EQ(Eval("Show({FileStream.ReadLine(), File.Exists(), File.Time()})"), "\"<null><false><null>\"");
    EXPECT_EQ(Eval("File(12).fullPath"), "12");
}

TEST_F(FilesTest, ValuesGoToFilesAndComeBack)
{
    EXPECT_EQ(Run("ToFile(3.25, 'n.txt') result = FromFile('n.txt') == 3.25"), "true");
    EXPECT_EQ(ReadBytes("n.txt"), Utf16Le(u"3.250000")) << "no byte-order mark";
    EXPECT_EQ(Run("ToFile('hello there', 'n.txt') result = FromFile('n.txt')"), "\"hello there\"");
    EXPECT_EQ(Run("ToFile('12 apples', 'n.txt') result = FromFile('n.txt')"), "12");
    EXPECT_EQ(Run("ToFile(true, 'n.txt') result = FromFile('n.txt')"), "true");
    EXPECT_EQ(Run("ToFile({1, 'two', k = {3, 'x y'}}, 't.txt') t = FromFile('t.txt') "
                  "result = Show({t[0], t[1], t.k[0], t.k[1]})"),
              "\"<1><two><3><x y>\"");
    EXPECT_EQ(Run("ToFile('', 'n.txt') result = FromFile('n.txt')"), "\"\"");
    EXPECT_EQ(Eval("FromFile('missing.txt')"), "null");

    // A mark FF FE is skipped; any other two non-zero bytes are ANSI text,
    // a UTF-16BE mark included.
    WriteBytes("m.txt", {0xFF, 0xFE, '7', 0});
    EXPECT_EQ(Eval("FromFile('m.txt')"), "7");
    WriteBytes("m.txt", {'c', 'a', 'f', 0xE9});
    EXPECT_EQ(Eval("FromFile('m.txt')"), "\"caf\u00E9\"");
    WriteBytes("m.txt", {0xFE, 0xFF, 0, 'a'});
    EXPECT_EQ(Eval("FromFile('m.txt')"), "\"\u00FE\u00FF\"");
    WriteBytes("m.txt", {'9'});
    EXPECT_EQ(Eval("FromFile('m.txt')"), "9");
}

TEST_F(FilesTest, LoadTextSplitsLinesAndFields)
{
    WriteBytes("csv.txt", {'x', ',', ' ', 'y'});
    EXPECT_EQ(Eval("Row(LoadText('csv.txt', ',')[1])"), "\"<x><y>\"");
    EXPECT_EQ(Eval("Count(LoadText('csv.txt', ','))"), "1");
    EXPECT_EQ(Eval("Row(LoadText('csv.txt'))"), "\"<x, y>\"");

    const std::string quoted = "\"a\"\"b\",\" in, side \",=1+2,\"\"\"\"\r\n\t\"=\"x\n";
    WriteBytes("q.txt", {quoted.begin(), quoted.end()});
    EXPECT_EQ(Run("t = LoadText('q.txt', ',') result = Count(t) & Row(t[1]) & Row(t[2]) & Row(t[3])"),
              "\"3<a\"b>< in, side ><'=1+2><\"><'=x><>\"");
    // Line mode strips quotes too, and never splits at commas.
    EXPECT_EQ(Eval("Row(LoadText('q.txt', ''))"), "\"<a\"b, in, side ,=1+2,\"><'=x><>\"");

    // A tab separates, though other control bytes are dropped; a zero byte ends the file.
    WriteBytes("tab.txt", {'1', '\t', '2', '\x01', '\n', '3', 0, '\n', '4'});
    EXPECT_EQ(Run("t = LoadText('tab.txt', Char(9)) result = Count(t) & Row(t[1]) & Row(t[2])"),
              "\"2<1><2><3>\"");

    std::vector<uint8_t> longField(1500, 'w');
    longField.push_back(',');
    longField.push_back('v');
    WriteBytes("long.txt", longField);
    EXPECT_EQ(Eval("Show({LoadText('long.txt', ',')[1][1].Len(), LoadText('long.txt', ',')[1][2]})"), "\"<1000><v>\"");

    WriteBytes("empty.txt", {});
    EXPECT_EQ(Eval("Row(LoadText('empty.txt'))"), "\"<>\"");
    EXPECT_EQ(Run("t = LoadText('empty.txt', ';') result = Count(t) & Row(t[1])"), "\"1<>\"");
    EXPECT_EQ(Eval("LoadText('missing.txt')"), "null");

    // Through more than one I/O buffer.
    std::vector<uint8_t> many;
    for (int i = 0; i < 30000; ++i) {
        const std::string line = std::to_string(i) + ";x\n";
        many.insert(many.end(), line.begin(), line.end());
    }
    WriteBytes("many.txt", many);
    EXPECT_EQ(Run("t = LoadText('many.txt', ';') result = Show({Count(t), t[29999][1], t[30000][1], Row(t[30001])})"),
              "\"<30001><29998><29999><<>>\"");
}

TEST_F(FilesTest, ExclusiveOpensAreRefusedWhileAnotherHoldsTheFile)
{
    WriteBytes("held.txt", Utf16Le(u"precious"));
    Run("w = File('held.txt').OpenWrite()");
    // A refused OpenWrite(true) must not empty the file.
    Run("w2 = File('held.txt').OpenWrite(true) w2.Write('lost') w2.Close()");
    EXPECT_EQ(ReadBytes("held.txt"), Utf16Le(u"precious"));
    EXPECT_EQ(Eval("Show({File('held.txt').Exists(), File('held.txt').Time(), FromFile('held.txt'), "
                   "LoadText('held.txt'), Lines('held.txt', 0)})"),
              "\"<false><null><null><null><[]>\"");
    WriteBytes("other.txt", Utf16Le(u"other"));
    Run("ToFile('lost', 'held.txt') File('held.txt').Delete() File('other.txt').CopyTo('held.txt')");
    EXPECT_EQ(ReadBytes("held.txt"), Utf16Le(u"precious"));
    Run("File('held.txt').CopyTo('copy.txt')");
    EXPECT_FALSE(Exists("copy.txt")) << "the holder shares nothing, not even reading";
    Run("w.Close()");
    EXPECT_EQ(Eval("File('held.txt').Exists()"), "true");

    // Readers share with each other but keep exclusive opens out.
    Run("r1 = File('held.txt').OpenRead() r2 = File('held.txt').OpenRead()");
    EXPECT_EQ(Eval("Show({r1.ReadLine(), r2.ReadLine(), File('held.txt').Exists()})"),
              "\"<precious><precious><false>\"");
    Run("File('held.txt').OpenWrite(true).Close() File('held.txt').Delete()");
    EXPECT_EQ(ReadBytes("held.txt"), Utf16Le(u"precious"));
    Run("File('held.txt').CopyTo('copy.txt')");
    EXPECT_EQ(ReadBytes("copy.txt"), Utf16Le(u"precious"));
    Run("r1.Close() r2.Close()");

    // Copying a file onto itself is refused rather than emptying it; a
    // stream that is held no longer may be deleted.
    Run("File('held.txt').CopyTo('HELD.TXT')");
    EXPECT_EQ(ReadBytes("held.txt"), Utf16Le(u"precious"));
    Run("File('held.txt').Delete()");
    EXPECT_FALSE(Exists("held.txt"));
    EXPECT_EQ(Eval("File('held.txt').Exists()"), "false");
}

TEST_F(FilesTest, TheCollectorClosesStreamsNeverClosed)
{
    WriteBytes("forgot.txt", Utf16Le(u"a"));
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
    EXPECT_EQ(ReadBytes("forgot.txt"), Utf16Le(u"b"));
}

TEST_F(FilesTest, TimeGivesTheFileTimesAsLocalDateNumbers)
{
    WriteBytes("t.txt", {'x'});
    std::tm local{};
    local.tm_year = 2021 - 1900;
    local.tm_mon = 4;
    local.tm_mday = 17;
    local.tm_hour = 13;
    local.tm_min = 45;
    local.tm_sec = 30;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
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
    const auto outside = std::filesystem::path(folder.string() + "-outside");
    std::filesystem::create_directories(outside);
    {
        std::ofstream(outside / "secret.txt", std::ios::binary) << "top secret";
    }
    WriteBytes("inside.txt", Utf16Le(u"in"));
    const std::string name = folder.filename().string() + "-outside";
    for (const std::string& path : {"..\\\\" + name + "\\\\secret.txt", "..\\..\\..\\..\\" + name + "\\secret.txt",
                                    (outside / "secret.txt").string(), "../" + name + "/secret.txt"}) {
        SCOPED_TRACE(path);
        const std::string p = "'" + path + "'";
        EXPECT_EQ(Eval("Show({File(" + p + ").Exists(), File(" + p + ").Time(), FromFile(" + p + "), LoadText(" + p +
                       "), Lines(" + p + ", 0)})"),
                  "\"<false><null><null><null><[]>\"");
        Run("File(" + p + ").OpenWrite(true).Write('x') File(" + p + ").OpenWrite().AppendLine('x') ToFile('x', " +
            p + ") File(" + p + ").Delete() File('inside.txt').CopyTo(" + p + ")");
        std::ifstream in(outside / "secret.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "top secret");
        Run("File(" + p + ").CopyTo('stolen.txt')");
        EXPECT_FALSE(Exists("stolen.txt"));
    }
    Run("File('inside.txt').CopyTo('" + (outside / "new.txt").string() + "') ToFile(1, '..\\..\\" + name +
        "\\new2.txt')");
    EXPECT_FALSE(std::filesystem::exists(outside / "new.txt"));
    EXPECT_FALSE(std::filesystem::exists(outside / "new2.txt"));
    std::filesystem::remove_all(outside);
}

} // namespace vellum::test
