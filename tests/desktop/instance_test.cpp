// The one-instance rule as users meet it with whole program runs on the display.
#include "desktop/running_app.h"
#include "host/file_bytes.h"
#include "host/program_run.h"
#include "host/temp_folder.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

// Qt's notes about a missing runtime folder stay off standard error.
QProcessEnvironment Runtime(const fs::path& folder)
{
    QProcessEnvironment environment;
    environment.insert("XDG_RUNTIME_DIR", Path(folder));
    return environment;
}

TEST(OneInstance, ASecondStartHandsOverToTheScriptOrTheEditorWhileAScreenshotRunsOnItsOwn)
{
    TempFolder dir;
    const fs::path runtime = dir.path / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const fs::path app = dir.path / "app";
    fs::create_directory(app);
    // The app tells it is up by a file, then waits for the user.
    WriteScript(app / "default.q9c", "var form = TForm({title = 'Running', view = TRectangle({style = {fill = 'red'}}),\n"
                                     "  function OnCreate() ToFile('up', 'up.txt') end})\n"
                                     "form.Show()\n");
    QProcess first;
    StartProgram(first, {Path(app)}, Runtime(runtime));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(app / "up.txt"); }, 15000));
    // Without a start-up script the editor opens and holds its folder by its window.
    const fs::path editor = dir.path / "editor";
    fs::create_directory(editor);
    RunningApp editing({Path(editor)}, Runtime(runtime));
    ASSERT_TRUE(editing.WaitForWindow());

    const fs::path shot = dir.path / "shot.png";
    const ProgramRun screenshot =
        RunProgram({"--screenshot", Path(shot), "--screen", "200x300", "--dpi", "96", Path(app)}, Runtime(runtime));
    EXPECT_TRUE(screenshot.finished && screenshot.status == 0) << screenshot.err;
    const QImage image(Path(shot), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(200, 300));
    EXPECT_EQ(image.pixelColor(100, 150), QColor(255, 0, 0));

    // Later starts hand over, with one line naming the device folder.
    for (const fs::path& folder : {app, editor}) {
        const ProgramRun later = RunProgram({Path(folder)}, Runtime(runtime));
        EXPECT_TRUE(later.finished);
        EXPECT_EQ(later.status, 0);
        EXPECT_EQ(later.err,
                  "vellum: already running on " + fs::canonical(folder).string() + "; brought its window to the front\n");
    }

    EXPECT_TRUE(editing.WaitForWindow());
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(10000));
}

} // namespace
} // namespace vellum::test
