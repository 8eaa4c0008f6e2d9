// Picture files into 24-bit bottom-up rows, and JPEG writing: transparency
// over black, files that must give nothing, and failed writes.
#include "platform/draw/image_codec.h"

#include "host/file_bytes.h"
#include "host/temp_folder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace vellum::platform {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kAnySize = UINT64_MAX;

// The pixel at (x, y) from the top of a decoded picture.
QRgb DecodedPixel(const DecodedImage& image, int x, int y)
{
    const uint8_t* p = image.rows.data() + static_cast<size_t>(image.height - 1 - y) * image.stride + 3 * x;
    return qRgb(p[2], p[1], p[0]);
}

class ImageCodecTest : public ::testing::Test {
protected:
    fs::path File(const std::string& name) const { return dir.path / name; }

    test::TempFolder dir;
};

// A 1-bit BMP whose header claims width x height pixels, with the given
// bytes of pixel data after the palette (black, white).
std::string ClaimingBmp(int32_t width, int32_t height, const std::string& pixels)
{
    std::string bmp(54, '\0');
    const auto put = [&bmp](int at, uint32_t v, int size) {
        for (int i = 0; i < size; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, 62 + static_cast<uint32_t>(pixels.size()), 4);
    put(10, 62, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 1, 2);
    bmp.append("\0\0\0\0\xFF\xFF\xFF\0", 8);
    return bmp + pixels;
}

TEST_F(ImageCodecTest, TransparencyIsComposedOverBlackAndPixelsMissingFromTheFileGiveNothing)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 0));     // fully transparent red
    image.setPixel(1, 0, qRgba(10, 200, 30, 255)); // opaque
    ASSERT_TRUE(image.save(QString::fromStdString(File("alpha.png").string()), "PNG"));
    const std::optional<DecodedImage> alpha = DecodeImageFile(File("alpha.png"), kAnySize);
    ASSERT_TRUE(alpha.has_value());
    EXPECT_EQ(DecodedPixel(*alpha, 0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(DecodedPixel(*alpha, 1, 0), qRgb(10, 200, 30));

    // Two rows of one pixel each, bottom-up: black, then white.
    test::WriteBytes(File("whole.bmp"), ClaimingBmp(1, 2, std::string("\0\0\0\0\x80\0\0\0", 8)));
    const std::optional<DecodedImage> whole = DecodeImageFile(File("whole.bmp"), kAnySize);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(DecodedPixel(*whole, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(DecodedPixel(*whole, 0, 1), qRgb(0, 0, 0));

    // A byte short, and 62 bytes claiming 1 x 33 554 430 pixels, bottom-up and top-down.
    for (const std::string& bmp : {ClaimingBmp(1, 2, std::string("\0\0\0\0\x80\0\0", 7)), ClaimingBmp(1, 33554430, ""),
                                   ClaimingBmp(1, -33554430, "")}) {
        test::WriteBytes(File("bad.bmp"), bmp);
        EXPECT_FALSE(DecodeImageFile(File("bad.bmp"), kAnySize).has_value());
    }

    // A picture with more pixels than the caller keeps is refused.
    EXPECT_FALSE(DecodeImageFile(File("whole.bmp"), 1).has_value());
    EXPECT_TRUE(DecodeImageFile(File("whole.bmp"), 2).has_value());
}

TEST_F(ImageCodecTest, FailedWritesLeaveTheOldFileAlone)
{
    const fs::path file = File("keep.jpg");
    test::WriteBytes(file, "old contents");
    // Four by four pixels of 4 bytes each.
    const std::vector<uint8_t> pixels(4 * 4 * 4, 0x80);
    EXPECT_FALSE(WriteJpeg(file, pixels.data(), 0, 4, 99));
    EXPECT_FALSE(WriteJpeg(file, pixels.data(), 4, -1, 99));
    EXPECT_FALSE(WriteJpeg(file, nullptr, 4, 4, 99));
    EXPECT_EQ(test::ReadBytes(file), "old contents");
    // A folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(WriteJpeg(File("no/such/folder.jpg"), pixels.data(), 4, 4, 99));
    EXPECT_FALSE(fs::exists(File("no")));
    // A successful write replaces the old file, and no temporary stays behind.
    EXPECT_TRUE(WriteJpeg(file, pixels.data(), 4, 4, 99));
    EXPECT_EQ(test::ReadBytes(file).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

} // namespace
} // namespace vellum::platform
