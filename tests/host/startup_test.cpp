// Tests of the program as users start it: reading the start-up script, the
// command line, console mode's output and exit status, and the one-instance
// rule across processes.
#include "host/script_file.h"
#include "host/temp_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vellum {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// A script file as the platform keeps them: UTF-16LE with a byte-order mark.
void WriteScript(const fs::path& file, const std::string& ascii, bool mark = true)
{
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    WriteBytes(file, bytes);
}

struct ProgramRun {
    int status;
    std::string out, err;
    bool finished;
};

QCoreApplication& Qt()
{
    static int argc = 1;
    static char name[] = "host_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

ProgramRun Start(const QStringList& arguments, int timeoutMs = 20000, QProcess* keep = nullptr)
{
    Qt();
    QProcess local;
    QProcess& process = keep != nullptr ? *keep : local;
    process.start(VELLUM_EXECUTABLE, arguments);
    process.waitForStarted();
    const bool finished = process.waitForFinished(timeoutMs);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString(), finished};
}

TEST(ScriptFile, ReadsUtf16WithOneMarkSkippedAndAnOddByteDropped)
{
    TempFolder dir;
    WriteBytes(dir.path / "a.q9c", std::string("\xFF\xFE" "a\0b\0", 6));
    WriteBytes(dir.path / "b.q9c", std::string("a\0b\0c", 5));
    WriteBytes(dir.path / "c.q9c", std::string("\xFF\xFE\xFF\xFE" "x\0", 6));
    WriteBytes(dir.path / "d.q9c", "");
    EXPECT_EQ(ReadScriptFile(dir.path / "a.q9c"), u"ab");
    EXPECT_EQ(ReadScriptFile(dir.path / "b.q9c"), u"ab");
    EXPECT_EQ(ReadScriptFile(dir.path / "c.q9c"), u"\uFEFFx");
    EXPECT_EQ(ReadScriptFile(dir.path / "d.q9c"), u"");
    EXPECT_FALSE(ReadScriptFile(dir.path / "missing.q9c"));
    EXPECT_FALSE(ReadScriptFile(dir.path));
}

TEST(Program, CommandLineAndConsoleRuns)
{
    TempFolder dir;
    // A folder runs its default.q9c; an error ends the run with its position.
    WriteScript(dir.path / "default.q9c", "MsgBox(1)\nvar x = 1 + 'a'", false);
    ProgramRun r = Start({"--console", QString::fromStdString(dir.path.string())});
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(r.err, "Vellum Error: Number expected (line 2, column 11)\n");
    EXPECT_EQ(r.status, 1);

    TempFolder empty;
    r = Start({"--console", QString::fromStdString(empty.path.string())});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no start-up script"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    EXPECT_EQ(Start({"--version"}).out.rfind("vellum ", 0), 0u);
    EXPECT_EQ(Start({"--help"}).status, 0);
    EXPECT_EQ(Start({"--bogus"}).status, 2);
    EXPECT_EQ(Start({"--console", "/no/such/place.q9c"}).status, 2);
}

TEST(Program, OneInstancePerDeviceFolder)
{
    // The first instance holds its folder while its message box is open;
    // the listing it writes first tells that it has started.
    TempFolder first, other;
    const std::string holder = "CompileLex('\\\\default.q9c', '\\\\ready.tok')\nMsgBox('holding')";
    WriteScript(first.path / "default.q9c", holder);
    WriteScript(other.path / "default.q9c", holder);

    QProcess running;
    Qt();
    running.start(VELLUM_EXECUTABLE, {QString::fromStdString(first.path.string())});
    ASSERT_TRUE(running.waitForStarted());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(first.path / "ready.tok") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(fs::exists(first.path / "ready.tok"));

    // A second start on the same folder hands over and ends at once.
    const ProgramRun second = Start({QString::fromStdString(first.path.string())}, 10000);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.status, 0);

    // Another folder runs side by side: it is still holding its own box.
    QProcess beside;
    Start({QString::fromStdString(other.path.string())}, 1500, &beside);
    EXPECT_EQ(beside.state(), QProcess::Running);
    beside.kill();
    beside.waitForFinished();
    EXPECT_EQ(running.state(), QProcess::Running);
    running.kill();
    running.waitForFinished();
}

TEST(Program, TheEditorHoldsItsFolderAgainstASecondStart)
{
    // Without a start-up script the editor opens and stays until closed.
    TempFolder dir;
    QProcess editor;
    Qt();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    editor.setProcessEnvironment(environment);
    editor.start(VELLUM_EXECUTABLE, {QString::fromStdString(dir.path.string())});
    ASSERT_TRUE(editor.waitForStarted());
    EXPECT_FALSE(editor.waitForFinished(1500));

    // A second start on the folder finds the editor's window and ends at once.
    const ProgramRun second = Start({QString::fromStdString(dir.path.string())}, 10000);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(editor.state(), QProcess::Running);
    editor.kill();
    editor.waitForFinished();
}

} // namespace
} // namespace vellum
