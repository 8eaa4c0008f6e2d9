// The processing of pictures, pixel for pixel on small pictures: crops,
// resizes, turns, the tone curve and the grey conversion, with and without
// a destination, and what a failure leaves behind.
#include "image/image_helpers.h"
#include "media/image/image_operations.h"

#include <utility>
#include <vector>

namespace vellum::test {
namespace {

using namespace media;

// The pixel at (x, y) with y counted from the top, as scripts see it.
Bgr TopAt(const DibImage& image, int32_t x, int32_t y)
{
    return At(image, x, image.Height() - 1 - y);
}

Bgr Position(int32_t x, int32_t r)
{
    return {x, r, (x * 7 + r * 13) & 255};
}

TEST(ProcessingTest, CropClampsSwapsAndCountsRowsFromTheTop)
{
    DibImage image = MakeImage(4, 3, Position);
    // Right before left, a top above the picture: columns 1..2, the top two rows.
    ASSERT_TRUE(Crop(image, nullptr, 3, -5, 1, 2));
    EXPECT_TRUE(SamePixels(image, MakeImage(2, 2, [](int32_t x, int32_t r) { return Position(x + 1, r + 1); })));

    // A rectangle reaching past every edge keeps the whole picture.
    DibImage whole = MakeImage(4, 3, Position);
    DibImage copy;
    ASSERT_TRUE(Crop(whole, &copy, -10, 99, 99, -10));
    EXPECT_TRUE(SamePixels(copy, MakeImage(4, 3, Position)));
    EXPECT_TRUE(SamePixels(whole, MakeImage(4, 3, Position)));

    // Empty rectangles do nothing, even when only the clamping empties them.
    for (const auto& [left, top, right, bottom] : {std::array{2, 0, 2, 3}, {0, 1, 4, 1}, {5, 0, 9, 3}})
        EXPECT_FALSE(Crop(whole, nullptr, left, top, right, bottom));
    EXPECT_TRUE(SamePixels(whole, MakeImage(4, 3, Position)));
    DibImage empty;
    EXPECT_FALSE(Crop(empty, nullptr, 0, 0, 1, 1));
    EXPECT_TRUE(empty.Empty());

    // The bottom-right pixel alone.
    ASSERT_TRUE(Crop(whole, nullptr, 3, 2, 4, 3));
    EXPECT_EQ(whole.Width(), 1);
    EXPECT_EQ(At(whole, 0, 0), Position(3, 0));
}

TEST(ProcessingTest, ResizeRefusesEmptySizesAndKeepsTheSameSize)
{
    DibImage image = MakeImage(5, 4, Position);
    DibImage dest = MakeImage(2, 2, Position);
    EXPECT_FALSE(Resize(image, nullptr, 0, 4));
    EXPECT_FALSE(Resize(image, nullptr, 5, -3));
    EXPECT_TRUE(SamePixels(image, MakeImage(5, 4, Position)));
    // Past the memory limit: neither picture changes.
    EXPECT_FALSE(Resize(image, &dest, 16384, 16384));
    EXPECT_TRUE(SamePixels(image, MakeImage(5, 4, Position)));
    EXPECT_TRUE(SamePixels(dest, MakeImage(2, 2, Position)));
    // The same size changes nothing, and a destination gets the picture as it is.
    const uint8_t* pixels = image.Bits();
    EXPECT_TRUE(Resize(image, nullptr, 5, 4));
    EXPECT_EQ(image.Bits(), pixels);
    EXPECT_TRUE(Resize(image, &dest, 5, 4));
    EXPECT_TRUE(SamePixels(dest, image));
    DibImage empty;
    EXPECT_FALSE(Resize(empty, nullptr, 3, 3));
}

TEST(ProcessingTest, TurnsMovePixelsAndUndoEachOther)
{
    // Where each turn puts the pixel at (x, y) of a 3 x 2 picture, counted from the top.
    const struct {
        double angle;
        int32_t width;
        int32_t (*x)(int32_t x, int32_t y);
        int32_t (*y)(int32_t x, int32_t y);
    } turns[] = {
        {90, 2, [](int32_t, int32_t y) { return 1 - y; }, [](int32_t x, int32_t) { return x; }},
        {270, 2, [](int32_t, int32_t y) { return y; }, [](int32_t x, int32_t) { return 2 - x; }},
        {180, 3, [](int32_t x, int32_t) { return 2 - x; }, [](int32_t, int32_t y) { return 1 - y; }},
    };
    const DibImage original = MakeImage(3, 2, Position);
    DibImage image = MakeImage(3, 2, Position);
    for (const auto& turn : turns) {
        DibImage turned;
        ASSERT_TRUE(Rotate(image, &turned, turn.angle));
        EXPECT_TRUE(SamePixels(image, original)) << "a destination leaves the source alone";
        DibImage inPlace = MakeImage(3, 2, Position);
        ASSERT_TRUE(Rotate(inPlace, nullptr, turn.angle));
        EXPECT_TRUE(SamePixels(inPlace, turned)) << turn.angle;
        ASSERT_EQ(turned.Width(), turn.width);
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < 3; ++x) {
                EXPECT_EQ(TopAt(turned, turn.x(x, y), turn.y(x, y)), TopAt(original, x, y)) << turn.angle;
            }
        }
    }
    for (const double angle : {45.0, 90.5, -90.0}) EXPECT_FALSE(Rotate(image, nullptr, angle));
    EXPECT_TRUE(SamePixels(image, original));

    // Pictures of several tiles, with partial tiles at the edges: four
    // quarter turns either way and two half turns give the picture back.
    const DibImage large = RandomImage(150, 67, 3);
    for (const double angle : {90.0, 270.0, 180.0}) {
        DibImage work = RandomImage(150, 67, 3);
        DibImage once;
        ASSERT_TRUE(Rotate(work, &once, angle));
        if (angle == 90) {
            EXPECT_EQ(TopAt(once, 66 - 10, 140), TopAt(large, 140, 10));
        }
        const int times = angle == 180 ? 2 : 4;
        for (int i = 0; i < times; ++i) ASSERT_TRUE(Rotate(work, nullptr, angle));
        EXPECT_TRUE(SamePixels(work, large)) << angle;
    }
}

TEST(ProcessingTest, ToneCurveFollowsItsTable)
{
    // Every level once in each channel.
    const auto levels = [](int32_t x, int32_t) { return Bgr{x, 255 - x, (x * 3) & 255}; };
    // Levels in and out along the curve of each brightness and contrast; a
    // single pair from level 0 means every level maps to that one.
    const struct {
        int32_t brightness, contrast;
        std::vector<std::pair<int, int>> levels;
    } curves[] = {
        {0, 0, {{0, 0}, {1, 1}, {128, 128}, {255, 255}}},
        {255, 0, {{0, 255}}},
        {200, 0, {{0, 200}, {54, 254}, {55, 255}, {255, 255}}},
        {-20, -100, {{0, 108}}},
        {0, 100, {{100, 72}, {191, 254}, {192, 255}}},
        {-50, 50, {{200, 186}, {77, 2}}}, // k = 1.5, offset 78: (77 - 128) x 1.5 + 78 + 0.5
        // Numbers far beyond the levels saturate instead of overflowing.
        {2147483647, 0, {{0, 255}}},
        {0, -2147483647 - 1, {{0, 255}, {255, 0}}},
        {-2147483647 - 1, 0, {{0, 0}}},
    };
    for (const auto& curve : curves) {
        DibImage image = MakeImage(256, 1, levels);
        EXPECT_TRUE(BrightnessContrast(image, nullptr, curve.brightness, curve.contrast));
        for (int32_t x = 0; x < 256; ++x) {
            ASSERT_EQ(At(image, x, 0)[1], At(image, 255 - x, 0)[0]) << "the channels share one table";
            if (curve.levels.size() == 1) {
                EXPECT_EQ(At(image, x, 0)[0], curve.levels[0].second) << x;
            }
        }
        for (const auto& [in, out] : curve.levels)
            EXPECT_EQ(At(image, in, 0)[0], out) << curve.brightness << " " << curve.contrast << " at " << in;
    }

    // The padding of each row is part of the mapped area.
    DibImage narrow = MakeImage(1, 2, [](int32_t, int32_t) { return Bgr{1, 2, 3}; });
    ASSERT_TRUE(BrightnessContrast(narrow, nullptr, 10, 0));
    EXPECT_EQ(At(narrow, 0, 1), (Bgr{11, 12, 13}));
    EXPECT_EQ(narrow.Row(1)[3], 10);

    // With a destination the source keeps its levels.
    DibImage source = MakeImage(256, 1, levels);
    DibImage dest;
    ASSERT_TRUE(BrightnessContrast(source, &dest, 30, 0));
    EXPECT_TRUE(SamePixels(source, MakeImage(256, 1, levels)));
    EXPECT_EQ(At(dest, 10, 0), (Bgr{40, 255, 60}));
    DibImage empty;
    EXPECT_FALSE(BrightnessContrast(empty, &dest, 30, 0));
    EXPECT_EQ(dest.Width(), 256);
}

TEST(ProcessingTest, GreyUsesTheLumaWeights)
{
    const Bgr colours[] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {30, 20, 10}, {0, 0, 0}};
    const int greys[] = {76, 149, 29, 255, 18, 0};
    const auto colour = [&](int32_t x, int32_t) { return colours[x]; };
    DibImage image = MakeImage(6, 1, colour);
    DibImage dest;
    ASSERT_TRUE(BlackAndWhite(image, &dest));
    EXPECT_TRUE(SamePixels(image, MakeImage(6, 1, colour)));
    ASSERT_TRUE(BlackAndWhite(image, nullptr));
    EXPECT_TRUE(SamePixels(image, dest));
    for (int32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(At(image, x, 0), (Bgr{greys[x], greys[x], greys[x]})) << x;
    }
    EXPECT_EQ(image.Row(0)[18], 0) << "padding is skipped";
}

// An FNV-1a digest of every pixel, row by row (padding left out).
uint32_t Digest(const DibImage& image)
{
    uint32_t hash = 2166136261u;
    for (int32_t r = 0; r < image.Height(); ++r) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            for (const int level : At(image, x, r)) hash = (hash ^ static_cast<uint32_t>(level)) * 16777619u;
        }
    }
    return hash;
}

// The fast paths (weights per column and row, bands on threads) on random
// pictures with every edge, against digests recorded from a plain
// pixel-by-pixel computation of the cubic kernel and the area average.
TEST(ProcessingTest, ResizeGivesTheRecordedPixels)
{
    const struct {
        int32_t width, height, newWidth, newHeight;
        uint32_t digest;
    } cases[] = {
        {37, 23, 80, 61, 3134428204u},       // growing both ways
        {37, 23, 37, 50, 2075642565u},       // same width, taller
        {97, 81, 20, 17, 1012146395u},       // shrinking both ways, uneven factors
        {64, 48, 32, 24, 799471550u},        // halving
        {50, 40, 17, 90, 1405904664u},       // narrower but taller: pieces interpolated
        {40, 50, 41, 13, 4131914708u},       // wider but lower
        {300, 200, 7, 301, 1174226338u},     // very narrow and taller, on several threads
        {1, 1, 3, 2, 2445597802u},           // a single pixel
        {5, 1, 2, 1, 3461398791u},           // a single row
        {700, 500, 1500, 1100, 2345155499u}, // a large enlargement, on several threads
    };
    uint32_t seed = 11;
    for (const auto& c : cases) {
        DibImage image = RandomImage(c.width, c.height, seed++);
        ASSERT_TRUE(Resize(image, nullptr, c.newWidth, c.newHeight));
        ASSERT_EQ(image.Width(), c.newWidth);
        ASSERT_EQ(image.Height(), c.newHeight);
        EXPECT_EQ(Digest(image), c.digest)
            << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
    }
}

} // namespace
} // namespace vellum::test
