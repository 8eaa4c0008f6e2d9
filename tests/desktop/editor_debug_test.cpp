// The built-in editor's debugger on a real display, driven by the keys a
// user presses: F9 sets a breakpoint on the caret's line, Ctrl+R runs to
// it, F10 steps, F5 goes on to the end. The stopped line is found by its
// shade in the window's pixels.
#include "desktop/running_app.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"

#include <gtest/gtest.h>


namespace vellum::test {
namespace {

// The shade of the line where a run stopped.
const QColor kStopShade(0xFF, 0xE0, 0x60);

// The middle row of the shade, looked for near the text's right edge
// (past the text, before the scroll bar); -1 when no line is shaded.
int ShadedRow(const QImage& window)
{
    const int x = window.width() * 3 / 4;
    int first = -1;
    int last = -1;
    for (int y = 0; y < window.height(); ++y) {
        if (window.pixelColor(x, y) != kStopShade) continue;
        if (first < 0) first = y;
        last = y;
    }
    return first < 0 ? -1 : (first + last) / 2;
}

TEST(EditorDebugger, F9SetsABreakpointCtrlRStopsThereF10StepsAndF5GoesOn)
{
    TempFolder folder;
    // The editor's file, UTF-16LE without the mark, as the editor writes it.
    WriteScript(folder.path / "defaultide.q9c", "var a = 1\r\nvar b = a + 1\r\nvar c = b + 1\r\n", false);
    RunningApp app({QString::fromStdString(folder.path.string())});
    ASSERT_TRUE(app.WaitForWindow());
    EXPECT_EQ(ShadedRow(app.SteadyPicture()), -1);
    // The caret starts on line 1.
    app.Key("F9");
    app.Key("ctrl+r");
    const int first = ShadedRow(app.SteadyPicture());
    EXPECT_GE(first, 0);
    app.Key("F10");
    const int second = ShadedRow(app.SteadyPicture());
    EXPECT_GT(second, first);
    app.Key("F5");
    EXPECT_EQ(ShadedRow(app.SteadyPicture()), -1);
    EXPECT_TRUE(app.Close());
}

} // namespace
} // namespace vellum::test
