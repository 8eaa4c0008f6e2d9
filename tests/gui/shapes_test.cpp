// The shape views as they paint: pixels of rectangles, ellipses, lines,
// texts and images drawn through the Qt canvas into an image.
#include "gui/gui_harness.h"
#include "gui/style/text_view.h"
#include "platform/draw/picture_pixels.h"
#include "platform/files/device_folder.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>
#include <string>

namespace vellum::test {
namespace {

using platform::Color;

// How many separate bands of rows hold ink.
int InkBands(const QImage& image)
{
    int bands = 0;
    bool previous = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) ink = PixelAt(image, x, y) != kWhite;
        if (ink && !previous) ++bands;
        previous = ink;
    }
    return bands;
}

class ShapesTest : public ::testing::Test {
protected:
    void SetUp() override { h.Ok("var gView = null"); }

    // The view of the script source painted on white at width x height.
    QImage Paint(const std::string& view, int32_t width, int32_t height, int32_t dpi = 96)
    {
        h.Ok("gView = " + view);
        built = h.Build(u"gView", {0, 0, width - 1, height - 1}, dpi);
        EXPECT_NE(built, nullptr);
        if (built == nullptr) return {};
        return h.Paint(built);
    }

    GuiHarness h;
    gui::View* built = nullptr;
};

TEST_F(ShapesTest, RectanglesAndEllipses)
{
    // Without a style a rectangle draws nothing and an ellipse is solid black, the right and bottom edges
    // outside it.
    EXPECT_TRUE(InkBounds(Paint("TRectangle({})", 20, 20)).Empty());
    EXPECT_EQ(InkBounds(Paint("TEllipse({})", 20, 20)), (platform::Rect{0, 0, 18, 18}));
    EXPECT_EQ(InkBounds(Paint("TRectangle({style = {fill = 'red', stroke = 'blue', margin = 2}})", 20, 10)),
              (platform::Rect{2, 2, 17, 7}));
    // Margins larger than the view leave nothing to draw.
    EXPECT_TRUE(InkBounds(Paint("TEllipse({style = {margin = 30}})", 40, 40)).Empty());
    EXPECT_TRUE(InkBounds(Paint("TRectangle({style = {fill = 'red', margin = 30}})", 40, 40)).Empty());

    // Fill and stroke over the content rectangle, margins left blank; without a border the fill reaches
    // the edge; a border alone leaves the inside as it was and takes the fill colour; a thick border
    // grows inward and outward from the content edge; an ellipse is filled and outlined inside its
    // content rectangle.
    const std::tuple<const char*, int32_t, int32_t, std::vector<std::tuple<int, int, Color>>> pixels[] = {
        {"TEllipse({})", 20, 20, {{10, 10, kBlack}}},
        {"TRectangle({style = {fill = 'red', stroke = 'blue', margin = 2}})", 20, 10, {{2, 2, kBlue}, {3, 3, kRed}}},
        {"TRectangle({style = {fill = {0, 255, 0}}})", 10, 10, {{9, 9, kLime}}},
        {"TRectangle({style = {strokeThickness = 1}})", 10, 10, {{0, 0, kBlack}, {5, 5, kWhite}}},
        {"TRectangle({style = {stroke = 'red', strokeThickness = 3, margin = 4}})", 30, 30, {{3, 15, kRed}, {2, 15, kWhite}}},
        {"TEllipse({style = {fill = 'lime', stroke = 'blue', margin = 5}})", 40, 40,
         {{20, 20, kLime}, {20, 5, kBlue}, {20, 4, kWhite}}},
    };
    for (const auto& [view, width, height, expected] : pixels) {
        const QImage image = Paint(view, width, height);
        for (const auto& [x, y, colour] : expected) EXPECT_EQ(PixelAt(image, x, y), colour) << view << " at " << x << "," << y;
    }
}

TEST_F(ShapesTest, HostileStylesDrawWithoutTrouble)
{
    // Huge pens and margins, and a huge pixel font, paint in bounded time and stay inside the view.
    for (const char* view : {"TEllipse({style = {strokeThickness = 1e12, strokeStyle = 'dash'}})",
                             "TRectangle({style = {strokeThickness = 1e12}})",
                             "TRectangle({style = {stroke = 'red', strokeThickness = 1e12, strokeStyle = 'dash'}})",
                             "TLine({x2 = 1e12, y2 = -1e12, style = {strokeThickness = 1e12}})",
                             "TRectangle({style = {fill = 'red', margin = -1e12}})",
                             "TText({text = 'M', style = {fontSize = '99999999px', margin = '-5px'}})"}) {
        EXPECT_EQ(Paint(view, 30, 30).width(), 30) << view;
    }
}

class TextShapesTest : public ShapesTest {
protected:
    static std::string TextView(const std::string& text, const std::string& style)
    {
        return "TText({text = " + text + ", style = {fontFamily = 'Liberation Mono', fontSize = '20px'" +
               (style.empty() ? "" : ", " + style) + "}})";
    }
    static int32_t Width(std::u16string_view text) { return platform::TextExtent({u"Liberation Mono", 20}, text).width; }
};

TEST_F(TextShapesTest, MultiLineTextsWrapAndAlignVertically)
{
    // Three words, each too wide to share a line, in three bands.
    const int32_t lineWidth = Width(u"wwww") + 4;
    Paint(TextView("'www www www'", "valign = 'top'"), lineWidth, 120);
    h.Ok("gView.multiLine = true");
    EXPECT_EQ(InkBands(h.Paint(built)), 3);
    EXPECT_LT(InkBounds(h.Paint(built)).top, 10);
    h.Ok("gView.style.valign = 'bottom'");
    EXPECT_GT(InkBounds(h.Paint(built)).bottom, 105);
    h.Ok("gView.style.valign = 'center'");
    const platform::Rect centre = InkBounds(h.Paint(built));
    EXPECT_NEAR(centre.top - 0, 119 - centre.bottom, 6);

    // Hard breaks; the measure is the line height times the lines, width 1.
    h.ip.TableSet(h.ip.GetGlobal(u"gView").table, u"text", h.ip.MakeString(u"a\r\nb\nc\n\nd"));
    h.Ok("gView.style.margin = '2px'");
    const int32_t lineHeight = platform::TextExtent({u"Liberation Mono", 20, 400, false, false}, u"A").height;
    EXPECT_EQ(built->MeasureHeight(), 5 * lineHeight + 4);
    EXPECT_EQ(built->MeasureWidth(), 1 + 4);
    EXPECT_EQ(InkBands(h.Paint(built)), 4);

    // An empty text measures as "Text", so that it can be found, but draws nothing.
    EXPECT_TRUE(InkBounds(Paint(TextView("''", ""), 200, 60)).Empty());
    EXPECT_EQ(built->MeasureWidth(), Width(u"Text") + 1);
}

// Pictures written into a device folder by the test.
class ImageShapesTest : public ShapesTest {
protected:
    void SetUp() override
    {
        ShapesTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        folder.emplace(dir.path().toStdString());
        h.ip.SetPathResolver(&*folder);
        // 8 x 4: red on the left half, blue on the right.
        WritePicture("Pic.png", kRed, kBlue);
    }
    void TearDown() override { h.ip.SetPathResolver(nullptr); }

    void WritePicture(const QString& name, Color left, Color right)
    {
        QImage image(8, 4, QImage::Format_RGB32);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 8; ++x) {
                const Color c = x < 4 ? left : right;
                image.setPixel(x, y, qRgb(platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)));
            }
        }
        ASSERT_TRUE(image.save(dir.filePath(name), "PNG"));
    }

    QTemporaryDir dir;
    std::optional<platform::DeviceFolder> folder;
};

TEST_F(ImageShapesTest, ModesPlaceAndScaleThePicture)
{
    // Natural size, centred by default vertically and at the left; aligned, at right - width and bottom -
    // height of the content rectangle; uniform keeps the proportions from the top-left corner (2:1 in
    // 20 x 20 or in 40 x 10 is 20 x 10); a picture larger than its view stays inside it; no image or a
    // missing file draws nothing; stretched. Each: the view, its size, where the picture lands and how
    // wide the view measures (-1: not looked at).
    const std::tuple<const char*, int32_t, int32_t, platform::Rect, int32_t> modes[] = {
        {"TImage({image = '\\Pic.png'})", 20, 20, {0, 8, 7, 11}, 8},
        {"TImage({image = 'Pic.png', style = {align = 'right', valign = 'bottom', margin = '2px'}})", 20, 20, {9, 13, 16, 16}, 12},
        {"TImage({image = 'Pic.png', mode = 'uniform'})", 20, 20, {0, 0, 19, 9}, -1},
        {"TImage({image = 'Pic.png', mode = 'uniform'})", 40, 10, {0, 0, 19, 9}, -1},
        {"TImage({image = 'Pic.png', style = {align = 'center', marginLeft = '1px'}})", 6, 4, {1, 0, 5, 3}, -1},
        {"TImage({})", 20, 20, {20, 20, -1, -1}, 0},
        {"TImage({image = 'none.png'})", 20, 20, {20, 20, -1, -1}, -1},
        {"TImage({image = 'Pic.png', mode = 'stretch'})", 20, 10, {0, 0, 19, 9}, -1},
    };
    for (const auto& [view, width, height, ink, measured] : modes) {
        EXPECT_EQ(InkBounds(Paint(view, width, height)), ink) << view;
        if (measured >= 0) {
            EXPECT_EQ(built->MeasureWidth(), measured) << view;
        }
    }
    EXPECT_EQ(PixelAt(h.Paint(built), 10, 0), kBlue);
    EXPECT_EQ(PixelAt(Paint("TImage({image = '\\Pic.png'})", 20, 20), 0, 8), kRed);
}

TEST_F(ImageShapesTest, BlendMakesThePictureTranslucent)
{
    QImage image = Paint("TImage({image = 'Pic.png', mode = 'stretch', blend = 50})", 8, 4);
    const Color half = PixelAt(image, 1, 1);
    EXPECT_EQ(platform::RedOf(half), 255u);
    EXPECT_NEAR(static_cast<int>(platform::GreenOf(half)), 128, 3);
    image = Paint("TImage({image = 'Pic.png', mode = 'stretch', blend = 0})", 8, 4);
    EXPECT_TRUE(InkBounds(image).Empty());
    // Out of range is opaque.
    for (const char* blend : {"150", "-1", "'half'"}) {
        image = Paint(std::string("TImage({image = 'Pic.png', mode = 'stretch', blend = ") + blend + "})", 8, 4);
        EXPECT_EQ(PixelAt(image, 1, 1), kRed) << blend;
    }
}

TEST_F(ImageShapesTest, PicturesAreLoadedAgainOnlyForAnotherFile)
{
    QImage image = Paint("TImage({image = 'Pic.png', mode = 'stretch'})", 8, 4);
    EXPECT_EQ(PixelAt(image, 0, 0), kRed);
    // The file changes: the same name in other case keeps the picture loaded, another file is loaded, and back
    // to the first name the file is read afresh.
    WritePicture("Pic.png", kLime, kLime);
    WritePicture("other.png", kBlue, kBlue);
    for (const auto& [name, colour] :
         {std::pair("PIC.PNG", kRed), std::pair("other.png", kBlue), std::pair("pic.png", kLime)}) {
        h.Ok(std::string("gView.image = '") + name + "'");
        EXPECT_EQ(PixelAt(h.Paint(built), 0, 0), colour) << name;
    }
    // Release lets the picture go; the next paint loads it again.
    WritePicture("Pic.png", kBlue, kRed);
    built->Release();
    EXPECT_EQ(PixelAt(h.Paint(built), 0, 0), kBlue);

    // A picture another library owns, handed over as a binary value.
    QImage green(3, 2, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    const platform::Picture owned({green});
    h.ip.TableSet(h.ip.GetGlobal(u"gView").table, u"image", Value::Binary(const_cast<platform::Picture*>(&owned)));
    h.Ok("gView.mode = 'natural' gView.style = {valign = 'top'}");
    image = h.Paint(built);
    EXPECT_EQ(InkBounds(image), (platform::Rect{0, 0, 2, 1}));
    EXPECT_EQ(built->MeasureWidth(), 3);
    // Then a file again.
    h.Ok("gView.image = 'other.png' gView.mode = 'stretch'");
    EXPECT_EQ(PixelAt(h.Paint(built), 0, 0), kBlue);
}

TEST_F(ImageShapesTest, FileIconsAre32UnitsSquare)
{
    h.Ok("gView = TImageListIcon({file = 'Pic.png', style = {margin = '1px', marginTop = 2}})");
    built = h.Build(u"gView", {0, 0, 99, 99}, 192);
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->MeasureWidth(), 64 + 2);
    EXPECT_EQ(built->MeasureHeight(), 64 + 4 + 1);
    // Whatever the desktop's icon, it stays within its 64 x 64 box.
    h.Ok("gView.style.valign = 'top'");
    const auto inside = [](const platform::Rect& ink, const platform::Rect& box) {
        return !ink.Empty() && ink.left >= box.left && ink.top >= box.top && ink.right <= box.right &&
               ink.bottom <= box.bottom;
    };
    EXPECT_TRUE(inside(InkBounds(h.Paint(built)), {1, 4, 64, 67}));
    h.Ok("gView.style.align = 'right' gView.style.valign = 'bottom'");
    EXPECT_TRUE(inside(InkBounds(h.Paint(built)), {98 - 64, 98 - 64, 97, 97}));
    // A folder has an icon too; a file that is not there, or none, draws nothing.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    h.Ok("gView.file = 'folder'");
    EXPECT_FALSE(InkBounds(h.Paint(built)).Empty());
    for (const char* file : {"'absent.png'", "null"}) {
        h.Ok(std::string("gView.file = ") + file);
        EXPECT_TRUE(InkBounds(h.Paint(built)).Empty()) << file;
    }
}

} // namespace
} // namespace vellum::test
