// The examples and the guide's tutorial app driven end to end on a real
// display as their user drives them (clicks, typing, keys, a tab switch, a
// resize), each window compared with the picture it must show
// (tests/desktop/expected; VELLUM_UPDATE_PICTURES=1 writes them afresh).
#include "desktop/running_app.h"
#include "host/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

constexpr QSize kDevice(480, 640);

// The app of a source folder, started in a fresh device folder that holds
// a copy of the source folder's files.
struct ExampleApp : TempFolder, RunningApp {
    explicit ExampleApp(const fs::path& from) : RunningApp({CopyInto(from, path)}) {}
    static QString CopyInto(const fs::path& from, const fs::path& to)
    {
        fs::copy(fs::path(VELLUM_SOURCE_DIR) / from, to,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        return QString::fromStdString(to.string());
    }
};

// The window's picture, or the part of it within part, against the
// expected one.
void ExpectPicture(RunningApp& app, const std::string& name, const QRect& part = {})
{
    const QImage shown = part.isNull() ? app.SteadyPicture() : app.SteadyPicture().copy(part);
    const QString file = QString::fromStdString(std::string(VELLUM_SOURCE_DIR) + "/tests/desktop/expected/" + name + ".png");
    if (std::getenv("VELLUM_UPDATE_PICTURES") != nullptr) {
        shown.save(file);
        return;
    }
    const QImage expected = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << name;
    ASSERT_EQ(shown.size(), expected.size()) << name;
    // Blocks of 8 pixels: a line of text missing or changed, a control out
    // of place or a wrong colour moves a block's mean far beyond this; the
    // font's antialiasing on another machine does not.
    const int difference = BlockDifference(shown, expected, 8);
    EXPECT_LE(difference, 40) << name;
    if (difference > 40) shown.save(QDir::temp().filePath(QString::fromStdString(name + "-shown.png")));
}

TEST(Examples, ControlsReportEveryUseInTheirStatusLine)
{
    ExampleApp app("examples/controls");
    ASSERT_TRUE(app.WaitForWindow());
    ExpectPicture(app, "controls-start");

    // Typed into the edit box: the text below it follows.
    app.Click({240, 80}, kDevice);
    app.Key("ctrl+a");
    app.Type("abc123");
    // Two presses of the button, then a fruit chosen with the keys.
    app.Click({240, 184}, kDevice);
    app.Click({240, 184}, kDevice);
    ExpectPicture(app, "controls-pressed");
    app.Click({240, 242}, kDevice);
    app.Key("Escape");
    app.Key("Down");
    app.Key("Down");
    ExpectPicture(app, "controls-picked");
    // A click on the scroll bar's track moves the square a page.
    app.Click({300, 372}, kDevice);
    ExpectPicture(app, "controls-scrolled");
    // The About tab shows its text.
    app.Click({88, 572}, kDevice);
    ExpectPicture(app, "controls-about");
    // A larger window: the controls widen and the status line stays at
    // the bottom (below the edit box and the text that follows it).
    Xdotool({"windowsize", "--sync", app.Window(), "600", "700"});
    ExpectPicture(app, "controls-resized", QRect(0, 160, 600, 540));

    EXPECT_TRUE(app.Close());
}

// The demo's clock ticks, so only what lies below it is compared.
TEST(Examples, TheDemoReportsATappedSwatchAndTakesAColourSchemeFromItsMenu)
{
    ExampleApp app("examples/demo");
    ASSERT_TRUE(app.WaitForWindow());
    const QRect belowTheClock(0, 152, 480, 488);
    ExpectPicture(app, "demo-start", belowTheClock);
    app.Click({80, 180}, kDevice);
    ExpectPicture(app, "demo-tapped", belowTheClock);
    // "Colours" on the soft-key bar, then "Forest": the header turns green.
    app.Click({360, 614}, kDevice);
    app.Key("Down");
    app.Key("Down");
    app.Key("Return");
    ExpectPicture(app, "demo-scheme", QRect(0, 52, 480, 60));
    EXPECT_TRUE(app.Close());
}

TEST(Examples, TheTutorialAppTakesNoteAfterNote)
{
    ExampleApp app("docs/tutorial/step5");
    ASSERT_TRUE(app.WaitForWindow());
    // The edit box has the focus from the start; after "Add" it has it
    // again, so the second note is typed straight in.
    app.Type("Buy milk");
    app.Click({450, 84}, kDevice);
    app.Type("Call Ann");
    app.Click({450, 84}, kDevice);
    ExpectPicture(app, "tutorial-two-notes");
    // A tap on the list chooses the second note, the Up key the first.
    app.Click({240, 186}, kDevice);
    app.Key("Up");
    ExpectPicture(app, "tutorial-chosen");
    EXPECT_TRUE(app.Close());
}

} // namespace
} // namespace vellum::test
