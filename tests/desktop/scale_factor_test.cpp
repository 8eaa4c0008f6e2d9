// Scale factors on a real display: QT_SCALE_FACTOR 1.5 or 2 scaled back to
// the device's size shows the picture of scale 1, and all of a window stays
// on screen.
#include "desktop/running_app.h"
#include "host/file_bytes.h"
#include "host/program_run.h"
#include "host/temp_folder.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

constexpr QSize kDevice(480, 640);

// Every kind of drawing a form does, with no clock or animation, so that
// two runs show the same pixels.
const char* const kDrawing = R"(
var header = TText({height = 30, text = "Scale test",
  style = {color = "white", fontSize = 20, fontWeight = "bold", align = "center",
           gradientFill = {startColor = "navy", endColor = {0, 128, 255}}}})
var shapes = TRow({height = 60, views = {
  TEllipse({width = "*", style = {fill = "teal", stroke = "navy", strokeThickness = 3, margin = 4}}),
  TEllipse({width = "*", style = {stroke = "maroon", margin = 4}}),
  TLine({width = "*", y1 = 60, y2 = 0, style = {stroke = "purple", margin = 4}}),
  TRectangle({width = "2*", style = {stroke = "olive", strokeStyle = "dash", margin = 4,
                                     gradientFill = {startColor = "yellow", endColor = "white", direction = "vertical"}}})
}})
var outlines = TRow({height = 60, views = {
  TRectangle({width = "*", style = {stroke = "black", strokeStyle = "dash", margin = 6}}),
  TRectangle({width = "*", style = {stroke = "green", fill = "silver", margin = 6}}),
  TImage({width = "*", image = "picture.png", mode = "fill", style = {margin = 4}})
}})
var words = TText({height = "*", multiLine = true, style = {margin = 6, valign = "top", fontSize = 11},
  text = "Text wraps in its view at every scale factor, and stays where it was."})
var status = TText({height = 28, text = "Status line", style = {align = "center", fill = "silver", margin = 2}})
TForm({title = "Scale", view = TColumn({views = {header, shapes, outlines, words, status}}),
       menu = {{item = "Left", function action() end}, {item = "Right", function action() end}}}).Show()
)";

// The app's window at a scale factor, brought back to the device's size.
QImage WindowAt(const QStringList& arguments, const QString& factor)
{
    QProcessEnvironment scaled;
    scaled.insert("QT_SCALE_FACTOR", factor);
    RunningApp app(arguments, scaled);
    EXPECT_TRUE(app.WaitForWindow()) << factor.toStdString();
    const QImage picture = app.SteadyPicture();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place = app.Geometry();
    // All of the window is on the screen.
    EXPECT_TRUE(screen.contains(place)) << factor.toStdString() << ": " << place.y() << "+" << place.height();
    const QImage shrunk = picture.scaled(kDevice, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return shrunk.convertToFormat(QImage::Format_RGB32);
}

void ExpectSamePictureAtEveryScale(const QStringList& arguments, const std::string& name)
{
    const QImage plain = WindowAt(arguments, "1");
    ASSERT_EQ(plain.size(), kDevice);
    for (const QString factor : {"1.5", "2"}) {
        const QImage scaled = WindowAt(arguments, factor);
        // Blocks of 16 pixels: text and edges are drawn afresh at each
        // scale, but a fill, a gradient or a line out of place, missing or
        // half drawn changes a block's colour by far more than this.
        const int difference = BlockDifference(plain, scaled, 16);
        EXPECT_LE(difference, 40) << name << " at " << factor.toStdString();
        if (difference > 40) {
            plain.save(QDir::temp().filePath(QString::fromStdString(name + "-1.png")));
            scaled.save(QDir::temp().filePath(QString::fromStdString(name + "-") + factor + ".png"));
        }
    }
}

// A device folder whose start-up script is the drawing.
struct DrawingFolder : TempFolder {
    DrawingFolder()
    {
        WriteScript(path / "default.q9c", kDrawing);
        fs::copy_file(fs::path(VELLUM_SOURCE_DIR) / "examples/demo/picture.png", path / "picture.png");
    }
};

TEST(ScaleFactor, ScaledWindowsShowThePictureOfScaleOneAndTooLargeOnesShrinkAsAWhole)
{
    DrawingFolder drawing;
    ExpectSamePictureAtEveryScale({Path(drawing.path)}, "drawing");
    TempFolder controls;
    fs::copy_file(fs::path(VELLUM_SOURCE_DIR) / "examples/controls/default.q9c", controls.path / "default.q9c");
    ExpectSamePictureAtEveryScale({Path(controls.path)}, "controls");

    // A device screen larger than the screen: scale 1 is too much already.
    RunningApp app({"--screen", "480x1600", Path(drawing.path)});
    ASSERT_TRUE(app.WaitForWindow());
    const QImage picture = app.SteadyPicture();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(app.Geometry()));
    // The same shape, and the soft-key bar at the bottom.
    EXPECT_NEAR(double(picture.width()) / picture.height(), 480.0 / 1600, 0.01);
    EXPECT_LT(picture.height(), 1024);
}

} // namespace
} // namespace vellum::test
