// The canvas's pixel rules, drawn into images and read back pixel by pixel:
// box edges, line end points, dashes, gradients and clips;
// and the fonts and pictures the canvas draws.
#include "gui/gui_harness.h"
#include "platform/draw/picture_pixels.h"
#include "platform/draw/qt_canvas.h"
#include "platform/draw/qt_font.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vellum::test {
namespace {

using platform::Color;
using platform::Pen;
using platform::PenStyle;
using platform::Point;
using platform::Rect;

// The row y from x0 to x1 as '#' for colour and '.' for anything else.
std::string Row(const QImage& image, int y, int x0, int x1, Color color = kBlack)
{
    std::string row;
    for (int x = x0; x <= x1; ++x) row += PixelAt(image, x, y) == color ? '#' : '.';
    return row;
}

// A drawing, and rows of it: the pixels x0 to x1 of row y as Row gives them.
struct Drawing {
    const char* what;
    int width, height;
    std::function<void(platform::Canvas&)> draw;
    struct Expected {
        int y, x0, x1;
        Color colour;
        std::string row;
    };
    std::vector<Expected> rows;
};

TEST(Canvas, BoxesLinesDashesAndClipsFollowThePixelRules)
{
    using C = platform::Canvas;
    const Point path[] = {{1, 1}, {8, 1}, {8, 8}};
    const std::string white(14, '#');
    const Drawing drawings[] = {
        // Outlines and fills cover the box without its right column and bottom row.
        {"thin outline", 12, 12, [](C& c) { c.Rectangle(0, 0, 10, 10, {kBlack, 0}, {}); },
         {{0, 0, 11, kBlack, "##########.."}, {10, 0, 11, kWhite, "############"}}},
        {"1-pixel outline", 12, 12, [](C& c) { c.Rectangle(0, 0, 10, 10, {kBlack, 1}, {}); },
         {{9, 0, 11, kBlack, "##########.."}, {10, 0, 11, kWhite, "############"}}},
        {"filled", 12, 12, [](C& c) { c.Rectangle(0, 0, 10, 10, {kBlack}, kRed); }, {{5, 0, 11, kRed, ".########..."}}},
        // A fill takes both corners; one whose right is left of its left draws nothing.
        {"fill", 10, 10, [](C& c) { c.FillRect({2, 3, 5, 6}, kRed); c.FillRect({8, 8, 7, 9}, kBlue); },
         {{3, 0, 9, kRed, "..####...."}, {6, 0, 9, kRed, "..####...."}, {2, 0, 9, kWhite, white.substr(4)},
          {7, 0, 9, kWhite, white.substr(4)}, {8, 0, 9, kWhite, white.substr(4)}}},
        // Corners given the other way round make the same box; a box without width draws nothing.
        {"reversed", 12, 12, [](C& c) { c.Rectangle(10, 10, 0, 0, {kBlack}, kRed); }, {{5, 0, 11, kRed, ".########..."}}},
        {"no width", 12, 12, [](C& c) { c.Rectangle(4, 0, 4, 10, {kBlack}, kRed); }, {{5, 0, 11, kWhite, "############"}}},
        // A wide pen straddles the outline: width/2 pixels outside, the rest inside.
        {"wide pen", 20, 20, [](C& c) { c.Rectangle(5, 5, 15, 15, {kBlack, 3}, kRed); },
         {{10, 3, 16, kRed, "....######...."}, {10, 3, 16, kBlack, ".###......###."}, {3, 3, 16, kWhite, white},
          {16, 3, 16, kWhite, white}}},
        {"even pen", 20, 20, [](C& c) { c.Rectangle(5, 5, 15, 15, {kBlack, 2}, {}); }, {{10, 3, 16, kBlack, ".##........##."}}},
        // Lines leave out their last point; every corner of a polyline is drawn.
        {"straight", 12, 12, [](C& c) { c.Line({0, 0}, {10, 0}, {kBlack}); }, {{0, 0, 11, kBlack, "##########.."}}},
        {"diagonal", 12, 12, [](C& c) { c.Line({5, 5}, {0, 0}, {kBlack}); }, {{5, 5, 5, kBlack, "#"}, {0, 0, 0, kWhite, "#"}}},
        {"polyline", 12, 12, [&](C& c) { c.Polyline(path, {kBlue}); }, {{1, 0, 9, kBlue, ".########."}, {8, 8, 8, kWhite, "#"}}},
        // A shallow line steps once per half of its run.
        {"shallow", 12, 4, [](C& c) { c.Line({0, 0}, {10, 2}, {kBlack}); },
         {{0, 0, 11, kBlack, "###........."}, {2, 0, 11, kBlack, "........##.."}}},
        {"no length", 4, 4, [](C& c) { c.Line({2, 2}, {2, 2}, {kBlack}); }, {{2, 0, 3, kWhite, "####"}}},
        // Ends far outside the canvas cost no more than the canvas's own width.
        {"far", 40, 8,
         [](C& c) {
             c.Line({-2000000000, 3}, {2000000000, 3}, {kBlack});
             c.Line({20, -2000000000}, {20, 2000000000}, {kBlue, 1, PenStyle::Dash});
         },
         {{3, 0, 39, kBlack, std::string(20, '#') + "." + std::string(19, '#')}, {0, 20, 20, kBlue, "#"}}},
        // Dashes, and the pattern running on around the corners of an outline (20, 3 is still in the
        // gap that began on the top edge).
        {"dashed", 60, 3, [](C& c) { c.Line({0, 1}, {60, 1}, {kBlack, 1, PenStyle::Dash}); },
         {{1, 0, 59, kBlack, std::string(18, '#') + std::string(6, '.') + std::string(18, '#') + std::string(6, '.') +
                                 std::string(12, '#')}}},
        {"dashed outline", 40, 40, [](C& c) { c.Rectangle(0, 0, 21, 30, {kBlack, 1, PenStyle::Dash}, {}); },
         {{0, 0, 21, kBlack, std::string(18, '#') + "...."}, {3, 20, 20, kWhite, "#"}, {4, 20, 20, kBlack, "#"}}},
        // Clips nest; one disjoint from the one in force shows nothing; one pop too many does nothing,
        // and what is left pushed goes with the canvas.
        {"clips", 100, 100,
         [](C& c) {
             c.PushClip({0, 0, 49, 49});
             c.PushClip({25, 25, 99, 99});
             c.FillRect({0, 0, 99, 99}, kRed);
             c.PopClip();
             c.FillRect({0, 0, 10, 10}, kBlue);
             c.FillRect({60, 60, 70, 70}, kBlue);
             c.PushClip({80, 80, 90, 90});
             c.FillRect({0, 0, 99, 99}, kGreen);
             c.PopClip();
             c.PopClip();
             c.PopClip();
             c.FillRect({95, 95, 99, 99}, kBlue);
             c.PushClip({0, 0, 1, 1});
         },
         {{25, 24, 25, kRed, ".#"}, {30, 24, 24, kWhite, "#"}, {5, 5, 5, kBlue, "#"}, {65, 65, 65, kWhite, "#"},
          {85, 85, 85, kWhite, "#"}, {97, 97, 97, kBlue, "#"}}},
    };
    for (const Drawing& d : drawings) {
        const QImage image = DrawOnWhite(d.width, d.height, d.draw);
        for (const auto& [y, x0, x1, colour, row] : d.rows) EXPECT_EQ(Row(image, y, x0, x1, colour), row) << d.what;
    }
    // The canvas gives its painter back without the clips it left pushed.
    QImage image(2, 2, QImage::Format_RGB32);
    QPainter painter(&image);
    platform::QtCanvas(painter).PushClip({0, 0, 1, 1});
    EXPECT_FALSE(painter.hasClipping());
}

TEST(Canvas, HugeBoxesCoverTheCanvasAndGradientsEndInTheirColours)
{
    // Rectangles far larger than any device still cover it.
    constexpr int32_t low = INT32_MIN, high = INT32_MAX;
    const QImage huge = DrawOnWhite(10, 10, [](platform::Canvas& c) {
        c.FillRect({low, low, high, high}, kRed);
        c.Rectangle(low, low, high, 5, {kBlue, 4}, kGreen);
        c.GradientFill({low, 8, high, 9}, kBlack, kWhite, false);
    });
    EXPECT_EQ(PixelAt(huge, 9, 7), kRed);
    EXPECT_EQ(PixelAt(huge, 9, 6), kBlue); // the bottom edge 4, with 2 of the 4 pen pixels outside
    EXPECT_EQ(PixelAt(huge, 4, 5), kBlue);
    EXPECT_NEAR(platform::RedOf(PixelAt(huge, 4, 9)), 128, 1);

    // A gradient's end pixels are its colours, every row alike; clipped, it
    // shows part of the same gradient, not a squeezed one.
    const auto gradient = [](const Rect& clip) {
        return DrawOnWhite(100, 10, [&](platform::Canvas& c) {
            c.PushClip(clip);
            c.GradientFill({0, 0, 99, 9}, kRed, kBlue, false);
            c.PopClip();
        });
    };
    const QImage across = gradient({0, 0, 99, 9});
    const QImage clipped = gradient({50, 0, 99, 9});
    EXPECT_EQ(PixelAt(across, 0, 5), kRed);
    EXPECT_EQ(PixelAt(across, 99, 5), kBlue);
    EXPECT_NEAR(platform::RedOf(PixelAt(across, 50, 5)), 128, 3);
    EXPECT_EQ(PixelAt(across, 50, 0), PixelAt(across, 50, 5));
    EXPECT_EQ(PixelAt(clipped, 49, 5), kWhite);
    EXPECT_EQ(PixelAt(clipped, 50, 5), PixelAt(across, 50, 5));
    const QImage down = DrawOnWhite(3, 9, [](platform::Canvas& c) {
        c.GradientFill({0, 0, 2, 8}, kBlack, kWhite, true);
        c.GradientFill({1, 1, 1, 1}, kGreen, kBlue, false);
    });
    EXPECT_EQ(PixelAt(down, 0, 0), kBlack);
    EXPECT_EQ(PixelAt(down, 1, 1), kGreen);
    EXPECT_EQ(PixelAt(down, 0, 4), PixelAt(down, 2, 4));
}

TEST(Canvas, WideAndCurvedDashedPensLeaveGaps)
{
    const QImage wide =
        DrawOnWhite(80, 9, [](platform::Canvas& c) { c.Line({2, 4}, {78, 4}, {kBlack, 3, PenStyle::Dash}); });
    const std::string row = Row(wide, 4, 0, 79);
    EXPECT_NE(row.find("#."), std::string::npos) << row;
    EXPECT_NE(row.find(".#", 3), std::string::npos) << row;

    const auto inked = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += PixelAt(image, x, y) != kWhite;
        }
        return count;
    };
    const Pen dash{kBlack, 1, PenStyle::Dash};
    const int dashed = inked(DrawOnWhite(60, 60, [&](platform::Canvas& c) { c.Ellipse(0, 0, 60, 60, dash, {}); }));
    const int solid = inked(DrawOnWhite(60, 60, [](platform::Canvas& c) { c.Ellipse(0, 0, 60, 60, {kBlack}, {}); }));
    EXPECT_GT(dashed, solid / 2);
    EXPECT_LT(dashed, solid * 7 / 8);
}

TEST(Canvas, FontsAreSizedByTheirCell)
{
    for (const int height : {8, 11, 15, 20, 27, 33, 48, 72}) {
        for (const int weight : {400, 700}) {
            platform::FontChoice choice;
            choice.height = height;
            choice.weight = weight;
            const int cell = QFontMetrics(platform::QtFont(choice)).height();
            EXPECT_LE(std::abs(cell - height), 1) << "height " << height << " weight " << weight;
            EXPECT_EQ(platform::TextExtent(choice, u"A").height, cell);
        }
    }

    platform::FontChoice choice;
    EXPECT_EQ(QFontInfo(platform::QtFont(choice)).family(), "Liberation Sans");
    choice.height = 0; // the default height
    EXPECT_EQ(platform::QtFont(choice).pixelSize(), platform::QtFont(platform::FontChoice{}).pixelSize());
    choice.height = -20; // an em size
    EXPECT_EQ(platform::QtFont(choice).pixelSize(), 20);

    choice = {};
    choice.weight = 700;
    choice.italic = true;
    choice.underline = true;
    const QFontInfo info(platform::QtFont(choice));
    EXPECT_TRUE(info.bold());
    EXPECT_TRUE(platform::QtFont(choice).underline());
    choice.weight = 100;
    EXPECT_EQ(platform::QtFont(choice).weight(), QFont::Thin);
    EXPECT_GT(platform::TextExtent({u"Arial", 20, 900}, u"Wide words").width,
              platform::TextExtent({u"Arial", 20, 400}, u"Wide words").width);

    // A face the system lacks still gives a usable font.
    EXPECT_GT(platform::TextExtent({u"No Such Face Anywhere", 15}, u"text").width, 0);
}

TEST(Picture, LoadsEveryFormatByItsContent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage source(6, 4, QImage::Format_RGB32);
    source.fill(QColor(10, 200, 30));
    source.setPixel(0, 0, qRgb(250, 0, 0));
    const auto write = [&](const char* name, const char* format) {
        EXPECT_TRUE(QImageWriter(dir.filePath(name), format).write(source)) << name;
        return platform::Picture::Load(dir.filePath(name).toStdString());
    };
    for (const auto& [name, format] : {std::pair("a.png", "png"), std::pair("b.BMP", "bmp"), std::pair("c.ico", "ico"),
                                       std::pair("misnamed.bmp", "png")}) {
        const auto picture = write(name, format);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_EQ(picture->Dimensions(), (platform::Size{6, 4})) << name;
        EXPECT_EQ(picture->GetKind() == platform::Picture::Kind::Icon, std::string(name) == "c.ico");
        EXPECT_EQ(picture->GetPixels().image.pixel(0, 0) & 0xFFFFFF, qRgb(250, 0, 0) & 0xFFFFFF) << name;
    }
    const auto jpeg = write("d.jpg", "jpeg");
    ASSERT_NE(jpeg, nullptr);
    EXPECT_NEAR(qGreen(jpeg->GetPixels().image.pixel(4, 3)), 200, 12);

    // Qt writes no GIF: this is a one-pixel kWhite one. Then bytes that are no picture, and what is no file.
    const auto bytes = [&](const char* name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        return platform::Picture::Load(dir.filePath(name).toStdString());
    };
    const auto gif = bytes("e.gif", QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                                               ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                                               35));
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(gif->GetPixels().image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bytes("broken.png", "not a picture at all"), nullptr);
    EXPECT_EQ(platform::Picture::Load(dir.filePath("missing.png").toStdString()), nullptr);
    EXPECT_EQ(platform::Picture::Load(dir.path().toStdString()), nullptr);
}

} // namespace
} // namespace vellum::test
