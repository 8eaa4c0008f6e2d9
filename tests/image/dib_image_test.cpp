// The in-memory picture: its layout, the creation rules with the memory
// limit and their failure texts, and moving pictures between images.
#include "image/image_helpers.h"

#include <cstring>
#include <tuple>
#include <utility>

namespace vellum::test {
namespace {

TEST(DibImageTest, CreationLaysOutHeaderPaletteAndPaddedRows)
{
    DibImage image;
    EXPECT_TRUE(image.Empty() && image.Enabled());
    ASSERT_TRUE(image.Create(5, 3, 24));
    EXPECT_EQ(image.Header().imageSize, 48u);
    // The block starts with the header as it is written to a file.
    DibHeader stored;
    std::memcpy(&stored, image.Bits() - sizeof(DibHeader), sizeof stored);
    EXPECT_EQ(std::tie(stored.size, stored.width, stored.height, stored.planes, stored.bitCount),
              std::make_tuple(40u, 5, 3, 1, 24));
    for (int32_t r = 0; r < 3; ++r) EXPECT_EQ(image.Row(r)[15], 0) << "padding of row " << r;
    EXPECT_EQ(image.Pixel(4, 2), image.Row(2) + 12);
    for (const auto& [x, r] : {std::pair{5, 0}, {0, 3}, {-1, 0}}) EXPECT_EQ(image.Pixel(x, r), nullptr);

    // Depths round up to 1, 4, 8 or 24; palette images have no pixel addressing.
    const struct {
        uint32_t width, depth;
        uint16_t bitCount;
        uint32_t colours, stride;
    } depths[] = {{5, 24, 24, 0, 16}, {33, 3, 4, 16, 20}, {33, 0, 1, 2, 8}, {5, 5, 8, 256, 8}, {3, 9, 24, 0, 12}};
    for (const auto& d : depths) {
        ASSERT_TRUE(image.Create(d.width, 2, d.depth));
        EXPECT_EQ(std::tuple(image.BitCount(), image.ColorsUsed(), image.Stride()),
                  std::tuple(d.bitCount, d.colours, d.stride))
            << d.depth;
        EXPECT_EQ(image.Bits(), image.Palette() + 4 * d.colours);
        EXPECT_EQ(image.Pixel(0, 0) == nullptr, d.bitCount != 24);
        EXPECT_TRUE(d.colours == 0 || image.Palette()[4 * d.colours - 1] == 0) << "a cleared palette";
    }
}

TEST(DibImageTest, FailedCreationsLeaveNoBufferAndSayWhy)
{
    const struct {
        uint32_t width, height, depth;
    } refused[] = {
        {0, 7, 24}, {7, 0, 24},
        // Past 256 MiB of pixels, by a byte or where a 32-bit count would wrap to a small one.
        {16384, 16384, 24}, {0x80000008u, 1, 1}, {16385, 16384, 8},
        {65536, 65536, 24}, {65536, 65536, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu, 24},
        // Few pixel bits, but rows padded to four bytes each: 8 GiB.
        {1, 0x7FFFFFFFu, 1},
    };
    for (const auto& r : refused) {
        DibImage image;
        ASSERT_TRUE(image.Create(4, 4, 24));
        EXPECT_FALSE(image.Create(r.width, r.height, r.depth)) << r.width << "x" << r.height;
        EXPECT_TRUE(image.Empty() && image.Width() == 0);
        EXPECT_EQ(image.LastError(), r.width == 0 || r.height == 0
                                         ? "DibImage::Create : width and height must be greater than zero"
                                         : "DIBIMAGE_MAX_MEMORY exceeded");
    }

    DibImage image;
    EXPECT_TRUE(image.Create(16384, 16384, 8)); // 2^31 bits exactly
    EXPECT_EQ(image.Stride(), 16384u);
    EXPECT_EQ(image.Header().imageSize, 16384u * 16384u);
}

TEST(DibImageTest, MovingHandsOverThePixelsAndEmptiesTheSource)
{
    DibImage source = MakeImage(3, 2, [](int32_t x, int32_t r) { return Bgr{x, r, 7}; });
    const uint8_t* pixels = source.Bits();
    DibImage target;
    target.SetEnabled(false);
    target = std::move(source);
    EXPECT_TRUE(source.Empty() && source.Width() == 0 && source.Bits() == nullptr);
    EXPECT_TRUE(target.Bits() == pixels && target.Width() == 3);
    EXPECT_EQ(At(target, 2, 1), (Bgr{2, 1, 7}));
    EXPECT_FALSE(target.Enabled()); // the drawing switch belongs to the target

    DibImage built(std::move(target));
    EXPECT_TRUE(target.Empty() && built.Bits() == pixels);
    built = std::move(built);
    EXPECT_EQ(built.Bits(), pixels);
    built.Release();
    EXPECT_TRUE(built.Empty() && built.Height() == 0);
}

} // namespace
} // namespace vellum::test
