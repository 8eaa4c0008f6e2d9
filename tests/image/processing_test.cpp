// The processing of pictures, pixel for pixel on small pictures: crops,
// resizes, turns, the tone curve and the grey conversion, with and without
// a destination, and what a failure leaves behind.
#include "image/image_helpers.h"
#include "media/image/image_operations.h"

#include <algorithm>
#include <array>
#include <functional>
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

// An operation into a destination, or in place when that is null.
using Operation = std::function<bool(DibImage&, DibImage*)>;

TEST(ProcessingTest, DestinationsGetWhatInPlaceGivesAndFailuresChangeNothing)
{
    const struct {
        const char* what;
        Operation apply;
        bool succeeds;
    } calls[] = {
        {"crop", [](DibImage& s, DibImage* d) { return Crop(s, d, 0, 0, 3, 2); }, true},
        // Empty rectangles, even when only the clamping empties them.
        {"crop to a column", [](DibImage& s, DibImage* d) { return Crop(s, d, 2, 0, 2, 3); }, false},
        {"crop to a row", [](DibImage& s, DibImage* d) { return Crop(s, d, 0, 1, 4, 1); }, false},
        {"crop beside", [](DibImage& s, DibImage* d) { return Crop(s, d, 5, 0, 9, 3); }, false},
        {"resize", [](DibImage& s, DibImage* d) { return Resize(s, d, 7, 5); }, true},
        {"resize to the same size", [](DibImage& s, DibImage* d) { return Resize(s, d, 4, 3); }, true},
        {"resize to no width", [](DibImage& s, DibImage* d) { return Resize(s, d, 0, 3); }, false},
        {"resize to a negative height", [](DibImage& s, DibImage* d) { return Resize(s, d, 4, -3); }, false},
        {"resize past the memory limit", [](DibImage& s, DibImage* d) { return Resize(s, d, 16384, 16384); }, false},
        {"turn by 90", [](DibImage& s, DibImage* d) { return Rotate(s, d, 90); }, true},
        {"turn by 270", [](DibImage& s, DibImage* d) { return Rotate(s, d, 270); }, true},
        {"turn by 180", [](DibImage& s, DibImage* d) { return Rotate(s, d, 180); }, true},
        {"turn by 45", [](DibImage& s, DibImage* d) { return Rotate(s, d, 45); }, false},
        {"turn by -90", [](DibImage& s, DibImage* d) { return Rotate(s, d, -90); }, false},
        {"tone curve", [](DibImage& s, DibImage* d) { return BrightnessContrast(s, d, 30, 20); }, true},
        {"grey", [](DibImage& s, DibImage* d) { return BlackAndWhite(s, d); }, true},
    };
    const DibImage original = MakeImage(4, 3, Position);
    const DibImage before = MakeImage(2, 2, Position);
    for (const auto& call : calls) {
        DibImage source = MakeImage(4, 3, Position);
        DibImage dest = MakeImage(2, 2, Position);
        DibImage empty;
        EXPECT_FALSE(call.apply(empty, &dest)) << call.what;
        EXPECT_TRUE(empty.Empty() && SamePixels(dest, before)) << call.what;
        EXPECT_EQ(call.apply(source, &dest), call.succeeds) << call.what;
        EXPECT_TRUE(SamePixels(source, original)) << call.what;
        EXPECT_TRUE(call.succeeds || SamePixels(dest, before)) << call.what;
        EXPECT_EQ(call.apply(source, nullptr), call.succeeds) << call.what;
        EXPECT_TRUE(SamePixels(source, call.succeeds ? dest : original)) << call.what;
    }
    // The same size in place keeps even the pixel buffer.
    DibImage image = MakeImage(4, 3, Position);
    const uint8_t* pixels = image.Bits();
    EXPECT_TRUE(Resize(image, nullptr, 4, 3));
    EXPECT_EQ(image.Bits(), pixels);
}

// Where each pixel of the result comes from, both counted from the top, on a
// picture of several tiles with partial tiles at the edges.
TEST(ProcessingTest, CropsAndTurnsTakeEveryPixelFromWhereTheyPutIt)
{
    const struct {
        const char* what;
        Operation apply;
        int32_t width, height;
        std::pair<int32_t, int32_t> (*from)(int32_t x, int32_t y);
    } cases[] = {
        {"corners swapped, the top above", [](DibImage& s, DibImage* d) { return Crop(s, d, 3, -5, 1, 2); }, 2, 2,
         [](int32_t x, int32_t y) { return std::pair{x + 1, y}; }},
        {"past every edge", [](DibImage& s, DibImage* d) { return Crop(s, d, -10, 999, 999, -10); }, 150, 67,
         [](int32_t x, int32_t y) { return std::pair{x, y}; }},
        {"the bottom-right pixel", [](DibImage& s, DibImage* d) { return Crop(s, d, 149, 66, 150, 67); }, 1, 1,
         [](int32_t x, int32_t y) { return std::pair{x + 149, y + 66}; }},
        {"turn by 90", [](DibImage& s, DibImage* d) { return Rotate(s, d, 90); }, 67, 150,
         [](int32_t x, int32_t y) { return std::pair{y, 66 - x}; }},
        {"turn by 270", [](DibImage& s, DibImage* d) { return Rotate(s, d, 270); }, 67, 150,
         [](int32_t x, int32_t y) { return std::pair{149 - y, x}; }},
        {"turn by 180", [](DibImage& s, DibImage* d) { return Rotate(s, d, 180); }, 150, 67,
         [](int32_t x, int32_t y) { return std::pair{149 - x, 66 - y}; }},
    };
    DibImage image = RandomImage(150, 67, 3);
    for (const auto& c : cases) {
        DibImage result;
        ASSERT_TRUE(c.apply(image, &result)) << c.what;
        ASSERT_EQ(std::pair(result.Width(), result.Height()), std::pair(c.width, c.height)) << c.what;
        for (int32_t y = 0; y < c.height; ++y) {
            for (int32_t x = 0; x < c.width; ++x) {
                const auto [fx, fy] = c.from(x, y);
                ASSERT_EQ(TopAt(result, x, y), TopAt(image, fx, fy)) << c.what << " " << x << " " << y;
            }
        }
    }
}

TEST(ProcessingTest, ToneCurveFollowsItsTableAndGreyTheLumaWeights)
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
            EXPECT_TRUE(curve.levels.size() > 1 || At(image, x, 0)[0] == curve.levels[0].second) << x;
        }
        for (const auto& [in, out] : curve.levels)
            EXPECT_EQ(At(image, in, 0)[0], out) << curve.brightness << " " << curve.contrast << " at " << in;
    }

    // The padding of each row is part of the mapped area.
    DibImage narrow = MakeImage(1, 2, [](int32_t, int32_t) { return Bgr{1, 2, 3}; });
    ASSERT_TRUE(BrightnessContrast(narrow, nullptr, 10, 0));
    EXPECT_EQ(At(narrow, 0, 1), (Bgr{11, 12, 13}));
    EXPECT_EQ(narrow.Row(1)[3], 10);

    // A palette picture has its colours mapped, not its indices; it has no grey.
    DibImage indexed;
    ASSERT_TRUE(indexed.Create(2, 1, 8));
    std::ranges::copy(std::array<uint8_t, 4>{1, 2, 3, 4}, indexed.Palette() + 4);
    indexed.Bits()[0] = 1;
    ASSERT_TRUE(BrightnessContrast(indexed, nullptr, 10, 0));
    EXPECT_EQ(std::vector<uint8_t>(indexed.Palette(), indexed.Palette() + 8),
              (std::vector<uint8_t>{10, 10, 10, 0, 11, 12, 13, 4}));
    EXPECT_EQ(indexed.Bits()[0], 1);
    EXPECT_FALSE(BlackAndWhite(indexed, nullptr));

    // Grey is the luma of the three channels, with their own weights.
    const Bgr colours[] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {30, 20, 10}, {0, 0, 0}};
    const int greys[] = {76, 149, 29, 255, 18, 0};
    DibImage image = MakeImage(6, 1, [&](int32_t x, int32_t) { return colours[x]; });
    ASSERT_TRUE(BlackAndWhite(image, nullptr));
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(At(image, x, 0), (Bgr{greys[x], greys[x], greys[x]})) << x;
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
        EXPECT_EQ(Digest(image), c.digest) << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
    }
}

} // namespace
} // namespace vellum::test
