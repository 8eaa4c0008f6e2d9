// The device and capture options of the command line: parsing with its
// complaints, and --screenshot as a whole program run on the offscreen
// platform, read back from the PNG it writes.
#include "host/command_line.h"
#include "host/file_bytes.h"
#include "host/program_run.h"
#include "host/temp_folder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

namespace vellum {
namespace {

namespace fs = std::filesystem;

TEST(GuiOptions, ParseWithValuesAndComplaints)
{
    ParsedCommandLine parsed =
        ParseCommandLine({"--screen", "320x240", "--dpi=96", "--today", "--screenshot", "shot.png", "app.q9c"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.screenWidth, 320);
    EXPECT_EQ(parsed.options.dpi, 96);
    EXPECT_TRUE(parsed.options.today);
    EXPECT_EQ(parsed.options.screenshot, fs::path("shot.png"));
    EXPECT_EQ(parsed.options.target, fs::path("app.q9c"));

    parsed = ParseCommandLine({});
    EXPECT_EQ(parsed.options.screenWidth, 480);
    EXPECT_EQ(parsed.options.dpi, 192);
    EXPECT_FALSE(parsed.options.screenshot);

    // Each bad value is named in the complaint.
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--screen", "0x640"}, {"--screen", "480"}, {"--screen", "480x640x2"}, {"--screen", "-480x640"},
             {"--screen=480x99999"}, {"--dpi", "abc"}, {"--dpi", "96.5"}, {"--dpi", "0"}, {"--dpi=+96"}, {"--dpi"},
             {"--screenshot"}, {"--screenshot="}, {"--today=yes"}}) {
        parsed = ParseCommandLine(bad);
        EXPECT_NE(parsed.error, "") << bad[0];
        EXPECT_NE(parsed.error.find(bad[0].substr(0, bad[0].find('='))), std::string::npos) << parsed.error;
    }
    EXPECT_NE(UsageText().find("--screenshot FILE"), std::string::npos);
}

using namespace test;

// A run on the offscreen platform, or with noDisplay on none at all.
ProgramRun Start(const QStringList& arguments, bool noDisplay = false, QProcessEnvironment changes = {})
{
    if (noDisplay) {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) changes.insert(name, "");
    }
    const ProgramRun run = RunProgram(arguments, changes);
    EXPECT_TRUE(run.finished);
    return run;
}

// The shared objects the dynamic loader opened in runs that wrote their
// notes (LD_DEBUG=files) into folder.
std::string LoadedObjects(const fs::path& folder)
{
    std::string notes;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("loader.")) notes += ReadBytes(entry.path());
    }
    return notes;
}

TEST(GuiOptions, ScreenshotSavesTheFirstFormAndRunsOn)
{
    TempFolder dir;
    // The cipher comes after the forms: its module loads then, and a form
    // alone never loads the transfers, the sound device or the camera.
    WriteScript(dir.path / "app.q9c",
                "TForm({title = 'Shot', view = TRectangle({style = {fill = 'red'}})}).Show()\n"
                "TForm({title = 'Later', view = TRectangle({})}).Show()\n"
                "MsgBox(Decrypt(Encrypt('after', 'key'), 'key'))");
    const fs::path shot = dir.path / "shot.png";
    QProcessEnvironment loaderNotes;
    loaderNotes.insert("LD_DEBUG", "files");
    loaderNotes.insert("LD_DEBUG_OUTPUT", Path(dir.path / "loader"));
    // Without a display: a screenshot renders offscreen by itself.
    const ProgramRun run = Start({"--console", "--screenshot", Path(shot), "--screen", "200x300", "--dpi", "96",
                                  Path(dir.path / "app.q9c")},
                                 true, loaderNotes);
    const std::string loaded = LoadedObjects(dir.path);
    EXPECT_NE(loaded.find("vellum-cipher.so"), std::string::npos);
    for (const char* unused : {"libcurl", "libasound", "libQt6Multimedia", "vellum-network", "vellum-sound"}) {
        EXPECT_EQ(loaded.find(unused), std::string::npos) << unused;
    }
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "after\n");
    EXPECT_EQ(run.status, 0);
    const QImage image(Path(shot), "PNG");
    ASSERT_FALSE(image.isNull());
    // The whole device screen: the title strip above the red client area.
    EXPECT_EQ(image.size(), QSize(200, 300));
    EXPECT_EQ(image.pixelColor(100, 150), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(100, 5), QColor(255, 0, 0));

    // A run that shows no form has nothing to save, and says so.
    WriteScript(dir.path / "none.q9c", "MsgBox('no form')");
    const fs::path none = dir.path / "none.png";
    const ProgramRun empty = Start({"--console", "--screenshot", Path(none), Path(dir.path / "none.q9c")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("--screenshot"), std::string::npos);
    EXPECT_FALSE(fs::exists(none));

    // Bad option values stop before anything runs.
    for (const QStringList& bad : {QStringList{"--screenshot", Path(dir.path / "missing" / "x.png")},
                                   QStringList{"--screen", "12x12"}, QStringList{"--dpi", "many"}}) {
        const ProgramRun refused = Start(QStringList{"--console"} + bad + QStringList{Path(dir.path / "app.q9c")});
        EXPECT_EQ(refused.status, 2) << bad.join(' ').toStdString();
        EXPECT_NE(refused.err.find(bad[0].toStdString()), std::string::npos) << refused.err;
    }
}

TEST(GuiOptions, WithoutADisplayAWindowedRunSaysSoWhileConsoleRunsGoOn)
{
    TempFolder dir;
    WriteScript(dir.path / "app.q9c", "TForm({title = 'None', view = TRectangle({})}).Show()\nMsgBox('after')");
    const QString app = Path(dir.path / "app.q9c");
    const ProgramRun refused = Start({app}, true);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "vellum: no display; use --console, or --screenshot FILE to render without one\n");
    // A console run has no windows then: Show returns at once.
    const ProgramRun console = Start({"--console", app}, true);
    EXPECT_EQ(console.status, 0) << console.err;
    EXPECT_EQ(console.out, "after\n");
}

TEST(GuiOptions, ScreenshotCapturesTheEditorWhereThereIsNoStartUpScript)
{
    TempFolder dir;
    WriteScript(dir.path / "defaultide.q9c", "MsgBox('in the editor')");
    const fs::path shot = dir.path / "editor.png";
    const ProgramRun run = Start({"--screenshot", Path(shot), "--screen", "240x320", "--dpi", "96", Path(dir.path)});
    EXPECT_EQ(run.status, 0) << run.err;
    const QImage image(Path(shot), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(240, 320));
    // The editor went as a user's close would: its text was saved, now without the mark.
    EXPECT_EQ(ReadBytes(dir.path / "defaultide.q9c").substr(0, 4), std::string("M\0s\0", 4));
}

} // namespace
} // namespace vellum
