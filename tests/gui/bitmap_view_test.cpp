// Bitmap views in real forms on the offscreen platform: pictures read back
// from the window's pixels unscaled and scaled by nearest neighbour, zoomed
// pictures kept inside the view, and bitmap properties that name no bitmap.
#include "engine/vm/class_binding.h"
#include "gui/form_fixture.h"
#include "media/image/bitmap_library.h"
#include "media/image/script_bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace vellum::test {
namespace {

using platform::Color;
using platform::Rgb;


// The test picture: 4 x 3, every pixel a colour of its own; (x, y) from the top.
constexpr int kPictureWidth = 4;
constexpr int kPictureHeight = 3;
Color PictureColour(int x, int y) { return Rgb(20 + 60 * x, 30 + 80 * y, 250 - 40 * x - 25 * y); }

class BitmapViewTest : public FormFixture {
protected:
    void SetUp() override
    {
        media::RegisterBitmapClasses(h.ip);
        h.Ok("var gView = null "
             "function RectText(r) return r.left & ',' & r.top & ' ' & r.width & 'x' & r.height end");
    }

    // A table holding a bitmap's native object, as TBitmap makes it, kept
    // in a global: the test picture, or an empty image for 0 x 0.
    void MakeBitmap(std::u16string_view global, int width, int height)
    {
        auto* bitmap = h.ip.Make<media::ScriptBitmap>();
        TableObject* table = h.ip.NewTable();
        h.ip.SetGlobal(global, table);
        AttachNative(h.ip, table, bitmap);
        if (width == 0) return;
        ASSERT_TRUE(bitmap->image.Create(width, height, 24));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t* p = bitmap->image.Pixel(x, height - 1 - y);
                const Color c = PictureColour(x, y);
                p[0] = static_cast<uint8_t>(platform::BlueOf(c));
                p[1] = static_cast<uint8_t>(platform::GreenOf(c));
                p[2] = static_cast<uint8_t>(platform::RedOf(c));
            }
        }
    }

    // Shows a form whose canvas holds gView (made by view, placed by the
    // script's left, top, width and height) and runs steps in its loop.
    void ShowWith(const std::string& view, std::function<void(QWidget* client)> steps)
    {
        h.Ok("gView = " + view);
        ShowView("TCanvas({views = {gView}})", steps);
    }

    // gView's Rect as "left,top widthxheight".
    std::string RectOfView() { return h.Eval("RectText(gView.Rect())"); }

    // Whether the window shows the picture, column u of the drawing taking
    // picture column columns[u] and row s picture row rows[s], at (left,
    // top), with nothing of it right of or below that area.
    static void ExpectDrawn(const QImage& window, int left, int top, const std::vector<int>& columns,
                            const std::vector<int>& rows)
    {
        for (size_t s = 0; s < rows.size(); ++s) {
            for (size_t u = 0; u < columns.size(); ++u) {
                EXPECT_EQ(PixelAt(window, left + static_cast<int>(u), top + static_cast<int>(s)),
                          PictureColour(columns[u], rows[s]))
                    << "at offset " << u << "," << s;
            }
            EXPECT_EQ(PixelAt(window, left + static_cast<int>(columns.size()), top + static_cast<int>(s)), kWhite);
        }
        EXPECT_EQ(PixelAt(window, left, top + static_cast<int>(rows.size())), kWhite);
    }
};

TEST_F(BitmapViewTest, DrawsUnscaledAndByNearestNeighbour)
{
    MakeBitmap(u"gPicture", kPictureWidth, kPictureHeight);
    ShowWith("TBitmapView({left = 10, top = 20, width = 60, height = 40, bitmap = gPicture})", [&](QWidget* client) {
        // Each zoom, what Zoom gives back, the picture's rectangle and the picture columns and rows drawn: at its
        // own size pixel for pixel; one pixel wider, the columns scaled by 4/5; 2.5 times, source column
        // floor(u * 0.4) and buffer row floor(3 - (s + 1) * 3/7), the last one a hair below 0; shrunk to half,
        // columns 0 and 2 of the bottom row; a negative zoom stands for the picture's own size.
        const std::tuple<const char*, const char*, const char*, std::vector<int>, std::vector<int>> zooms[] = {
            {"1", "1", "10,20 4x3", {0, 1, 2, 3}, {0, 1, 2}},
            {"1.25", "1.250000", "10,20 5x3", {0, 0, 1, 2, 3}, {0, 1, 2}},
            {"2.5", "2.500000", "10,20 10x7", {0, 0, 0, 1, 1, 2, 2, 2, 3, 3}, {0, 0, 1, 1, 2, 2, 2}},
            {"0.5", "0.500000", "10,20 2x1", {0, 2}, {2}},
            {"-3", "-3", "10,20 4x3", {0, 1, 2, 3}, {0, 1, 2}},
        };
        for (const auto& [zoom, given, rect, columns, rows] : zooms) {
            SCOPED_TRACE(zoom);
            EXPECT_EQ(h.Eval("gView.Zoom(" + std::string(zoom) + ")"), given);
            EXPECT_EQ(RectOfView(), rect);
            ExpectDrawn(client->grab().toImage(), 10, 20, columns, rows);
        }

        // Zoomed pictures stay inside the view: at 20 times the picture is 80 x 60, the view 30 x 25 with a
        // margin of 2. Columns 0..19 show picture column 0, 20..25 column 1; the content ends at 12 + 25, 22 + 20.
        h.Ok("gView.width = 30 gView.height = 25 gView.style = {margin = 2} gForm.Redraw()");
        EXPECT_EQ(h.Eval("gView.Zoom(20)"), "20");
        EXPECT_EQ(RectOfView(), "12,22 80x60");
        const QImage zoomed = client->grab().toImage();
        EXPECT_EQ(PixelAt(zoomed, 12, 22), PictureColour(0, 0));
        EXPECT_EQ(PixelAt(zoomed, 12 + 20, 22 + 20), PictureColour(1, 1));
        EXPECT_EQ(PixelAt(zoomed, 12 + 26, 22), kWhite);
        EXPECT_EQ(PixelAt(zoomed, 11, 22), kWhite); // the margin
        // Unscaled in a view smaller than the picture: 3 x 2 of it show.
        h.Ok("gView.style = {} gView.width = 3 gView.height = 2 gForm.Redraw() gView.Zoom(1)");
        ExpectDrawn(client->grab().toImage(), 10, 20, {0, 1, 2}, {0, 1});
    });
}

TEST_F(BitmapViewTest, WhatIsNoBitmapDrawsNothing)
{
    MakeBitmap(u"gEmpty", 0, 0);
    MakeBitmap(u"gPicture", kPictureWidth, kPictureHeight);
    ShowWith("TBitmapView({left = 10, top = 20, width = 50, height = 40})", [&](QWidget* client) {
        const auto blank = [&] { return InkBounds(client->grab().toImage().copy(10, 20, 50, 40)).Empty(); };
        const char* notBitmaps[] = {"gEmpty", "'picture.png'", "{}", "{pObject = 7}", "gForm", "gView",
                                    "function() return 12 end", "null"};
        for (const char* value : notBitmaps) {
            h.Ok(std::string("gView.SetBitmap(") + value + ") gView.Redraw()");
            EXPECT_TRUE(blank()) << value;
            EXPECT_EQ(h.Eval("gView.Zoom()"), "0") << value;
        }
        // A computed property names the bitmap anew at every use.
        h.Ok("var gWhich = null gView.bitmap = function() return gWhich end gView.Zoom(1)");
        EXPECT_TRUE(blank());
        h.Ok("gWhich = gPicture gView.Redraw()");
        EXPECT_EQ(PixelAt(client->grab().toImage(), 13, 22), PictureColour(3, 2));
        h.Ok("gWhich = gEmpty gView.Redraw()");
        EXPECT_TRUE(blank());

        // Arguments are checked; a table without its view does nothing.
        EXPECT_EQ(h.Run("gView.SetBitmap()"), "errFewArguments");
        EXPECT_EQ(h.Run("gView.Zoom(1, 2)"), "errManyArguments");
        EXPECT_EQ(h.Run("gView.Zoom('big')"), "errNumberExpected");
        EXPECT_EQ(h.Run("gView.Rect(1)"), "errManyArguments");
        EXPECT_EQ(h.Eval("TBitmapView({}).Zoom(3)"), "null");
        EXPECT_EQ(h.Eval("TBitmapView({}).Rect()"), "null");
        EXPECT_EQ(h.Eval("gView.Zoom()"), "1");
    });
}

} // namespace
} // namespace vellum::test
