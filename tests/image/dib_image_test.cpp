// The in-memory picture: its layout, the creation rules with the memory
// limit and their failure texts, and moving pictures between images.
#include "image/image_helpers.h"

#include <cstring>
#include <utility>

namespace vellum::test {
namespace {

constexpr const char* kTooLarge = "DIBIMAGE_MAX_MEMORY exceeded";
constexpr const char* kNoMemory = "DibImage::Create can't allocate memory";

TEST(DibImageTest, CreationLaysOutHeaderPaletteAndPaddedRows)
{
    DibImage image;
    EXPECT_TRUE(image.Empty());
    EXPECT_TRUE(image.Enabled());
    ASSERT_TRUE(image.Create(5, 3, 24));
    EXPECT_EQ(image.Stride(), 16u); // 15 bytes padded to 16
    EXPECT_EQ(image.Header().imageSize, 48u);
    EXPECT_EQ(image.ColorsUsed(), 0u);
    EXPECT_EQ(image.Bits(), image.Palette());
    // The block starts with the header as it is written to a file.
    DibHeader stored;
    std::memcpy(&stored, image.Bits() - sizeof(DibHeader), sizeof stored);
    EXPECT_EQ(stored.size, 40u);
    EXPECT_EQ(stored.width, 5);
    EXPECT_EQ(stored.height, 3);
    EXPECT_EQ(stored.planes, 1);
    EXPECT_EQ(stored.bitCount, 24);
    for (int32_t r = 0; r < 3; ++r) EXPECT_EQ(image.Row(r)[15], 0) << "padding of row " << r;
    EXPECT_EQ(image.Pixel(4, 2), image.Row(2) + 12);
    EXPECT_EQ(image.Pixel(5, 0), nullptr);
    EXPECT_EQ(image.Pixel(0, 3), nullptr);
    EXPECT_EQ(image.Pixel(-1, 0), nullptr);

    // Depths round up to 1, 4, 8 or 24; palette images have no pixel addressing.
    ASSERT_TRUE(image.Create(33, 2, 3));
    EXPECT_EQ(image.BitCount(), 4);
    EXPECT_EQ(image.ColorsUsed(), 16u);
    EXPECT_EQ(image.Stride(), 20u);
    EXPECT_EQ(image.Bits(), image.Palette() + 64);
    EXPECT_EQ(image.Palette()[63], 0);
    EXPECT_EQ(image.Pixel(0, 0), nullptr);
    ASSERT_TRUE(image.Create(33, 1, 0));
    EXPECT_EQ(image.BitCount(), 1);
    EXPECT_EQ(image.Stride(), 8u);
    ASSERT_TRUE(image.Create(3, 1, 9));
    EXPECT_EQ(image.BitCount(), 24);
}

TEST(DibImageTest, FailedCreationsLeaveNoBufferAndSayWhy)
{
    DibImage image;
    ASSERT_TRUE(image.Create(4, 4, 24));
    EXPECT_FALSE(image.Create(0, 7, 24));
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.LastError(), "DibImage::Create : width and height must be greater than zero");
    EXPECT_FALSE(image.Create(7, 0, 24));

    // 16384 x 16384 x 24 bits wraps a 32-bit count.
    EXPECT_FALSE(image.Create(16384, 16384, 24));
    EXPECT_EQ(image.LastError(), kTooLarge);
    // Exactly 256 MiB of pixels is allowed, a byte more is not.
    EXPECT_FALSE(image.Create(0x80000008u, 1, 1));
    EXPECT_EQ(image.LastError(), kTooLarge);
    EXPECT_FALSE(image.Create(16385, 16384, 8));
    // Products that wrap to a small count in 32 bits are still too large.
    EXPECT_FALSE(image.Create(65536, 65536, 24));
    EXPECT_FALSE(image.Create(65536, 65536, 1));
    EXPECT_FALSE(image.Create(0xFFFFFFFFu, 0xFFFFFFFFu, 24));
    EXPECT_TRUE(image.Empty());

    // 8192 x 8192 x 24 passes the limit; only the allocation may fail it.
    image = DibImage();
    if (image.Create(8192, 8192, 24)) {
        EXPECT_EQ(image.Stride(), 8192u * 3);
        EXPECT_EQ(image.Header().imageSize, 8192u * 8192u * 3u);
    } else {
        EXPECT_EQ(image.LastError(), kNoMemory);
    }
    EXPECT_TRUE(image.Create(16384, 16384, 8)); // 2^31 bits exactly
    EXPECT_EQ(image.Stride(), 16384u);
}

TEST(DibImageTest, MovingHandsOverThePixelsAndEmptiesTheSource)
{
    DibImage source = MakeImage(3, 2, [](int32_t x, int32_t r) { return Bgr{x, r, 7}; });
    const uint8_t* pixels = source.Bits();
    DibImage target;
    target.SetEnabled(false);
    target = std::move(source);
    EXPECT_TRUE(source.Empty());
    EXPECT_EQ(source.Width(), 0);
    EXPECT_EQ(source.Bits(), nullptr);
    EXPECT_EQ(target.Bits(), pixels);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(At(target, 2, 1), (Bgr{2, 1, 7}));
    EXPECT_FALSE(target.Enabled()); // the drawing switch belongs to the target

    DibImage built(std::move(target));
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(built.Bits(), pixels);
    built = std::move(built);
    EXPECT_EQ(built.Bits(), pixels);
    built.Release();
    EXPECT_TRUE(built.Empty());
    EXPECT_EQ(built.Height(), 0);
}

} // namespace
} // namespace vellum::test
