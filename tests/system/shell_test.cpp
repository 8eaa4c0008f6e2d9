// Programs, documents, shortcuts, the registry file and telephony, with
// stand-in programs written into the device folder and a stand-in opener
// put on PATH.
#include "system/shell/command_line.h"
#include "system/shell/file_filter.h"
#include "system/shell/registry_file.h"
#include "system/shell/shortcut.h"
#include "system_harness.h"

#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

namespace vellum::test {

namespace {

using system::ParseShortcut;
using system::RegistryFile;

std::u16string U(std::string_view text) { return FromUtf8(text); }

// Programs run detached: their output shows up some time later, and the
// writer may still be busy until the closing line is there.
std::string WaitForFile(const std::filesystem::path& path)
{
    std::string text;
    const bool ended = Eventually([&] {
        const std::vector<uint8_t> bytes = ReadFile(path);
        text.assign(bytes.begin(), bytes.end());
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

TEST(ShortcutTest, ProgramAndArgumentsOfTheCommandLine)
{
    // Shell ids resolve with the rest of the line kept; an id that names
    // itself gives up instead of looping.
    const auto ids = [](std::u16string_view id) -> std::optional<std::u16string> {
        if (id == u":CAL") return U("\"\\Windows\\cal.exe\" -m");
        if (id == u":ALIAS") return U(":CAL");
        if (id == u":SELF") return U(":SELF -again");
        return std::nullopt;
    };
    const struct {
        std::u16string text, program, arguments;
    } links[] = {
        {u"22#\"\\Windows\\a.exe\" -x?icon", u"\\Windows\\a.exe", u"-x"},
        {u"9#\\b.exe  one two?,3", u"\\b.exe", u"one two"},
        // Control characters (a line end after the command) are dropped; an
        // unclosed quotation mark takes the rest as the program.
        {u"5#\\c\r.exe\t x\r\n", u"\\c.exe", u"x"},
        {u"#\"\\d e.exe", u"\\d e.exe", u""},
        {u"10#:ALIAS -today?x", u"\\Windows\\cal.exe", u"-m -today"},
    };
    for (const auto& expected : links) {
        const auto link = ParseShortcut(expected.text, ids);
        ASSERT_TRUE(link) << ToUtf8(expected.text);
        EXPECT_EQ(link->program, expected.program);
        EXPECT_EQ(link->arguments, expected.arguments);
    }
    for (const char16_t* broken : {u"22 \"\\a.exe\"", u"", u"5#:SELF", u"5#:NONE x"}) {
        EXPECT_FALSE(ParseShortcut(broken, ids)) << ToUtf8(broken);
    }
}

TEST(ShortcutTest, TextEncodings)
{
    EXPECT_EQ(system::ShortcutText({0xFF, 0xFE, '3', 0, '#', 0, 'a', 0}), U("3#a"));
    EXPECT_EQ(system::ShortcutText({0, 0, '3', 0, '#', 0}), U("3#"));
    EXPECT_EQ(system::ShortcutText({'3', 0, '#', 0, 0, 0, 'x', 0}), U("3#"));
    EXPECT_EQ(system::ShortcutText({'3', '#', 0xE9, 0x80, 0, 'x'}), u"3#\u00e9\u20ac");
}

TEST(RegistryFileTest, ExportFormat)
{
    const RegistryFile registry = RegistryFile::Parse(U("Windows Registry Editor Version 5.00\r\n"
                                                        "\r\n"
                                                        "; device facts\r\n"
                                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Zeta]\r\n"
                                                        "\"InstallDir\"=\"\\\\Program Files\\\\Zeta\"\r\n"
                                                        "@=\"default \\\"quoted\\\"\"\r\n"
                                                        "\"Count\"=dword:0000001F\r\n"
                                                        "\"Path\"=hex(2):5c,00,41,00,\\\r\n"
                                                        "  42,00,00,00\r\n"
                                                        "\"Bad\"=dword:xyz\r\n"
                                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Alpha\\Sub]\r\n"
                                                        "[hkey_local_machine\\software\\apps\\zeta]\r\n"
                                                        "\"installdir\"=\"\\\\Z\"\r\n"
                                                        "\"Count\"=-\r\n"
                                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Gone]\r\n"
                                                        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Gone]\r\n"
                                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Mid]\r\n"));
    const std::u16string zeta = U("HKEY_LOCAL_MACHINE\\Software\\Apps\\ZETA");
    EXPECT_EQ(registry.String(zeta, U("InstallDir")), U("\\Z"));
    EXPECT_EQ(registry.String(zeta, U("")), U("default \"quoted\""));
    EXPECT_EQ(registry.Value(zeta, U("Count")), nullptr);
    EXPECT_EQ(registry.Value(zeta, U("Bad")), nullptr);
    EXPECT_EQ(registry.String(zeta, U("Path")), U("\\AB"));
    // Alpha exists through its subkey; subkeys keep the order of the file.
    const std::vector<std::u16string> apps = registry.Subkeys(U("HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\"));
    EXPECT_EQ(apps, (std::vector<std::u16string>{U("Zeta"), U("Alpha"), U("Mid")}));
    EXPECT_TRUE(registry.HasKey(U("HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps\\Alpha")));
    EXPECT_FALSE(registry.HasKey(U("")));

    const RegistryFile old = RegistryFile::Parse(U("REGEDIT4\n[HKEY_CLASSES_ROOT\\.html]\n@=\"htmlfile\"\n"
                                                   "\"N\"=dword:00000010\n"));
    EXPECT_EQ(old.String(U("HKEY_CLASSES_ROOT\\.HTML"), U("")), U("htmlfile"));
    ASSERT_NE(old.Value(U("HKEY_CLASSES_ROOT\\.html"), U("n")), nullptr);
    EXPECT_EQ(old.Value(U("HKEY_CLASSES_ROOT\\.html"), U("n"))->number, 16u);
    EXPECT_EQ(old.String(U("HKEY_CLASSES_ROOT\\.html"), U("N")), std::nullopt);

    // Without the header the text is no registry.
    EXPECT_TRUE(RegistryFile::Parse(U("[HKEY_CLASSES_ROOT\\.html]\n@=\"x\"\n")).Subkeys(U("HKEY_CLASSES_ROOT")).empty());
}

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

    // The install key moves the dialer.
    std::filesystem::remove(dialed);
    WriteProgram("Apps/Dial/iDialer.exe", dialed);
    WriteRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Apps\\iDialer]\n\"InstallDir\"=\"\\\\Apps\\\\Dial\"\n");
    Run("Call('Bo', '1')");
    EXPECT_EQ(WaitForFile(dialed), "1\n-name=Bo\n");

    const auto messaged = outside / "messaged";
    WriteProgram("Windows/tmail.exe", messaged);
    Run("SendSMS('Ann', '555')");
    EXPECT_EQ(WaitForFile(messaged), "-service\nSMS\n-to\n\"Ann\" <555>\n");
}

} // namespace vellum::test
