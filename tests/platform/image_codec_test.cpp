// Picture files into 24-bit bottom-up rows, and JPEG writing: transparency
// over black, files that must give nothing, and failed writes.
#include "platform/draw/image_codec.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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
    fs::path File(const std::string& name) const { return fs::path(dir.path().toStdString()) / name; }
    static void WriteBytes(const fs::path& file, const QByteArray& bytes)
    {
        QFile out(QString::fromStdString(file.string()));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    static QByteArray ReadBytes(const fs::path& file)
    {
        QFile in(QString::fromStdString(file.string()));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(ImageCodecTest, TransparencyIsComposedOverBlack)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 0));     // fully transparent red
    image.setPixel(1, 0, qRgba(10, 200, 30, 255)); // opaque
    const fs::path file = File("alpha.png");
    ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    const std::optional<DecodedImage> decoded = DecodeImageFile(file, kAnySize);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(DecodedPixel(*decoded, 0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(DecodedPixel(*decoded, 1, 0), qRgb(10, 200, 30));
}

// A 1-bit BMP whose header claims width x height pixels, with the given
// bytes of pixel data after the palette (black, white).
QByteArray ClaimingBmp(int32_t width, int32_t height, const QByteArray& pixels)
{
    QByteArray bmp(54, '\0');
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
    bmp.append(QByteArray("\0\0\0\0\xFF\xFF\xFF\0", 8));
    return bmp + pixels;
}

TEST_F(ImageCodecTest, PixelsMissingFromTheFileGiveNothing)
{
    // Two rows of one pixel each, bottom-up: black, then white.
    WriteBytes(File("whole.bmp"), ClaimingBmp(1, 2, QByteArray("\0\0\0\0\x80\0\0\0", 8)));
    const std::optional<DecodedImage> whole = DecodeImageFile(File("whole.bmp"), kAnySize);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(DecodedPixel(*whole, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(DecodedPixel(*whole, 0, 1), qRgb(0, 0, 0));

    WriteBytes(File("short.bmp"), ClaimingBmp(1, 2, QByteArray("\0\0\0\0\x80\0\0", 7)));
    EXPECT_FALSE(DecodeImageFile(File("short.bmp"), kAnySize).has_value());
    // 62 bytes claiming 1 x 33 554 430 pixels, bottom-up and top-down.
    WriteBytes(File("tall.bmp"), ClaimingBmp(1, 33554430, QByteArray()));
    EXPECT_FALSE(DecodeImageFile(File("tall.bmp"), kAnySize).has_value());
    WriteBytes(File("down.bmp"), ClaimingBmp(1, -33554430, QByteArray()));
    EXPECT_FALSE(DecodeImageFile(File("down.bmp"), kAnySize).has_value());

    // A picture with more pixels than the caller keeps is refused.
    EXPECT_FALSE(DecodeImageFile(File("whole.bmp"), 1).has_value());
    EXPECT_TRUE(DecodeImageFile(File("whole.bmp"), 2).has_value());
}

TEST_F(ImageCodecTest, FailedWritesLeaveTheOldFileAlone)
{
    const fs::path file = File("keep.jpg");
    WriteBytes(file, QByteArray("old contents"));
    // Four by four pixels of 4 bytes each.
    const std::vector<uint8_t> pixels(4 * 4 * 4, 0x80);
    EXPECT_FALSE(WriteJpeg(file, pixels.data(), 0, 4, 99));
    EXPECT_FALSE(WriteJpeg(file, pixels.data(), 4, -1, 99));
    EXPECT_FALSE(WriteJpeg(file, nullptr, 4, 4, 99));
    EXPECT_EQ(ReadBytes(file), QByteArray("old contents"));
    // A folder that does not exist: nothing is written anywhere.
    EXPECT_FALSE(WriteJpeg(File("no/such/folder.jpg"), pixels.data(), 4, 4, 99));
    EXPECT_FALSE(fs::exists(File("no")));
    // A successful write replaces the old file, and no temporary stays behind.
    EXPECT_TRUE(WriteJpeg(file, pixels.data(), 4, 4, 99));
    EXPECT_EQ(ReadBytes(file).left(2), QByteArray("\xFF\xD8", 2));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(File(""))) ++files;
    EXPECT_EQ(files, 1);
}

} // namespace
} // namespace vellum::platform
