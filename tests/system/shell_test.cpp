// Programs, documents, the registry file and telephony, with
// stand-in programs written into the device folder and a stand-in opener
// put on PATH.
#include "system/shell/command_line.h"
#include "system/shell/file_filter.h"
#include "system_harness.h"

#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

namespace vellum::test {

namespace {

std::u16string U(std::string_view text) { return FromUtf8(text); }

// Programs run detached: their output shows up some time later, and the
// writer may still be busy until the closing line is there.
std::string WaitForFile(const std::filesystem::path& path)
{
    std::string text;
    const bool ended = Eventually([&] {
        text = ReadText(path);
        return text.ends_with("end\n");
    });
    return ended ? text.substr(0, text.size() - 4) : "(no output)";
}

// PATH for one test, put back afterwards.
class PathScope {
public:
    explicit PathScope(const std::string& value)
    {
        if (const char* old = std::getenv("PATH")) saved = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~PathScope() { ::setenv("PATH", saved.c_str(), 1); }

private:
    std::string saved;
};

class ShellTest : public SystemHarness {
protected:
    // A shell script that writes each of its arguments on a line of its own
    // to `marker`, then "end".
    void WriteProgram(const std::filesystem::path& relative, const std::filesystem::path& marker)
    {
        // Shell built-ins only: the tests empty PATH.
        const std::string text = "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; echo end; } > '" +
                                 marker.string() + "'\n";
        WriteFile(folder / relative, text);
        std::filesystem::permissions(folder / relative, std::filesystem::perms::owner_all);
    }
    void WriteRegistry(std::string_view text) { WriteFile(folder / "registry.reg", text); }
};

} // namespace

TEST(CommandLineTest, SplitsAsHandheldProgramsDo)
{
    using V = std::vector<std::u16string>;
    EXPECT_EQ(system::SplitCommandLine(U("  a  \"b c\"\td ")), (V{U("a"), U("b c"), U("d")}));
    EXPECT_EQ(system::SplitCommandLine(U("\\\\\"x y\" \\\"q \\a")), (V{U("\\x y"), U("\"q"), U("\\a")}));
    EXPECT_EQ(system::SplitCommandLine(U("\"\" \"say \"\"hi\"\"\"")), (V{U(""), U("say \"hi\"")}));
    EXPECT_EQ(system::SplitCommandLine(U("-to \"\\\"Ann\\\" <1>\"")), (V{U("-to"), U("\"Ann\" <1>")}));
    EXPECT_TRUE(system::SplitCommandLine(U("   ")).empty());
}

TEST(FileFilterTest, PairsBecomeNameFilters)
{
    using V = std::vector<std::u16string>;
    EXPECT_EQ(system::NameFilters(U("Text files|*.txt;*.log|All|*.*")), (V{U("Text files (*.txt *.log)"), U("All (*)")}));
    EXPECT_EQ(system::NameFilters(U("Pictures|*.jpg|Dangling")), (V{U("Pictures (*.jpg)")}));
    EXPECT_EQ(system::NameFilters(U("|*.q9c|Empty|")), (V{U("*.q9c (*.q9c)")}));
    EXPECT_TRUE(system::NameFilters(U("")).empty());
    // Only the first 260 characters count: the pair cut there loses its patterns.
    EXPECT_TRUE(system::NameFilters(std::u16string(259, u'd') + U("|*.txt")).empty());
}

TEST_F(ShellTest, RunAppStartsProgramsOfTheDeviceFolderOnly)
{
    const auto marker = outside / "ran";
    WriteProgram("bin/tool", marker);
    EXPECT_EQ(Eval("RunApp('\\BIN\\tool', 'one \"two three\" \\\"four')"), "true");
    EXPECT_EQ(WaitForFile(marker), "one\ntwo three\n\"four\n");
    // Detached: nothing is left for this process to reap.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    std::filesystem::remove(marker);
    EXPECT_EQ(Eval("RunApp('\\bin\\tool')"), "true");
    EXPECT_EQ(WaitForFile(marker), "");

    WriteBytes("plain.txt", {'x'});
    for (const char* call : {"RunApp('\\plain.txt')", "RunApp('\\bin')", "RunApp('\\missing.exe')",
                             "RunApp('..\\..\\..\\..\\..\\bin\\sh', '-c true')", "RunApp('/bin/sh')"}) {
        EXPECT_EQ(Eval(call), "false") << call;
    }
    // A program named by ShellExecute starts with the parameters.
    std::filesystem::remove(marker);
    EXPECT_EQ(Eval("ShellExecute('\\bin\\tool', 'p q')"), "true");
    EXPECT_EQ(WaitForFile(marker), "p\nq\n");
}

TEST_F(ShellTest, WithoutAnOpenerEverythingFailsQuietly)
{
    const PathScope path("");
    WriteBytes("doc.txt", {'x'});
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    for (const char* call : {"ShellExecute('\\doc.txt')", "ShellExecute('http://example.org/')",
                             "IBrowser('http://example.org/')", "IBrowser()"}) {
        EXPECT_EQ(Eval(call), "false") << call;
    }
    EXPECT_EQ(Eval("IBrowserPath()"), R"("")");
    EXPECT_EQ(Run("Call('Ann', '555') SendSMS('Ann', '555') SystemIdleTimerReset() result = 1"), "1");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(ShellTest, OpenerGetsHostPathsAndAddresses)
{
    const auto bin = outside / "bin";
    std::filesystem::create_directories(bin);
    const auto marker = outside / "opened";
    WriteProgram("opener", marker);
    std::filesystem::rename(folder / "opener", bin / "xdg-open");
    const PathScope path(bin.string());
    WriteBytes("docs/Note.txt", {'x'});

    EXPECT_EQ(Eval("IBrowserPath()"), '"' + (bin / "xdg-open").string() + '"');
    EXPECT_EQ(Eval("ShellExecute('\\docs\\note.txt')"), "true");
    EXPECT_EQ(WaitForFile(marker), (folder / "docs/Note.txt").string() + "\n");
    EXPECT_EQ(Eval("ShellExecute('\\docs\\missing.txt')"), "false");
    EXPECT_EQ(Eval("ShellExecute('..\\..\\..\\etc\\passwd')"), "false");
    std::filesystem::remove(marker);
    EXPECT_EQ(Eval("IBrowser('https://example.org/a b')"), "true");
    EXPECT_EQ(WaitForFile(marker), "https://example.org/a b\n");

    // No dialer, no messaging program: the desktop gets the addresses.
    std::filesystem::remove(marker);
    EXPECT_EQ(Eval("Call('Ann', '+1 555/2')"), "null");
    EXPECT_EQ(WaitForFile(marker), "tel:+1%20555%2F2\n");
    std::filesystem::remove(marker);
    Run("SendSMS('Ann', '555')");
    EXPECT_EQ(WaitForFile(marker), "sms:555\n");

    // The registry's browser, when it is a program of the device folder.
    const auto browsed = outside / "browsed";
    WriteProgram("Windows/browser.exe", browsed);
    WriteRegistry("REGEDIT4\n[HKEY_CLASSES_ROOT\\.html]\n@=\"htmlfile\"\n"
                  "[HKEY_CLASSES_ROOT\\htmlfile\\Shell\\Open\\Command]\n@=\"\\\"\\\\Windows\\\\browser.exe\\\" %1\"\n");
    EXPECT_EQ(Eval("IBrowserPath()"), R"("\Windows\browser.exe")");
    EXPECT_EQ(Eval("IBrowser('http://x/')"), "true");
    EXPECT_EQ(WaitForFile(browsed), "http://x/\n");
}

TEST_F(ShellTest, DialerAndMessagingProgramsInTheDeviceFolder)
{
    const PathScope path("");
    const auto dialed = outside / "dialed";
    WriteProgram("iDialer/iDialer.exe", dialed);
    EXPECT_EQ(Eval("Call('Ann Lee', '555')"), "null");
    EXPECT_EQ(WaitForFile(dialed), "555\n-name=Ann\nLee\n");

    // The install key moves the dialer; value names are compared without regard to case.
    std::filesystem::remove(dialed);
    WriteProgram("Apps/Dial/iDialer.exe", dialed);
    WriteRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Apps\\iDialer]\n\"installdir\"=\"\\\\Apps\\\\Dial\"\n");
    Run("Call('Bo', '1')");
    EXPECT_EQ(WaitForFile(dialed), "1\n-name=Bo\n");

    const auto messaged = outside / "messaged";
    WriteProgram("Windows/tmail.exe", messaged);
    Run("SendSMS('Ann', '555')");
    EXPECT_EQ(WaitForFile(messaged), "-service\nSMS\n-to\n\"Ann\" <555>\n");
}

} // namespace vellum::test
