// Picture files for bitmaps through Qt's image readers and its JPEG writer.
// Decoding yields what a block transfer of the loaded bitmap into a 24-bit
// device-independent bitmap would: the stored pixels as they are (no
// orientation tag applied), transparency composed over black. Writing goes
// to a temporary file that replaces the target only once it is complete,
// so a failed save never leaves a broken picture where a good one was.
#include "platform/draw/image_codec.h"

#include "platform/files/open_files.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <climits>
#include <cstdlib>

namespace vellum::platform {

namespace {

uint32_t Stride24(int32_t width) { return static_cast<uint32_t>((int64_t{width} * 24 + 31) / 32 * 4); }

uint32_t LittleEndian(const QByteArray& bytes, int at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

// Whether the rows an uncompressed BMP's header claims are all in the file.
// The reader would take rows past the end as blank ones, so a header of a
// few bytes could make a picture of any size. Compressed (run-length) and
// other files are left to the reader.
bool BmpRowsPresent(QIODevice& device)
{
    const QByteArray head = device.peek(34);
    if (head.size() < 26 || !head.startsWith("BM")) return true;
    // Headers of 12 bytes hold 16-bit sides and no compression field.
    const bool core = LittleEndian(head, 14, 4) == 12;
    if (!core && head.size() < 34) return false;
    constexpr uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    const uint32_t compression = core ? kRgb : LittleEndian(head, 30, 4);
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields) return true;
    const int64_t width = core ? LittleEndian(head, 18, 2) : static_cast<int32_t>(LittleEndian(head, 18, 4));
    const int64_t height = core ? LittleEndian(head, 20, 2) : static_cast<int32_t>(LittleEndian(head, 22, 4));
    const uint64_t bitCount = LittleEndian(head, core ? 24 : 28, 2);
    const uint64_t rowBytes = (static_cast<uint64_t>(std::abs(width)) * bitCount + 31) / 32 * 4;
    const uint64_t dataStart = LittleEndian(head, 10, 4);
    return dataStart + rowBytes * static_cast<uint64_t>(std::abs(height)) <= static_cast<uint64_t>(device.size());
}

} // namespace

std::optional<DecodedImage> DecodeImageFile(const std::filesystem::path& file, uint64_t maxPixels)
{
    QFile device(QFile::decodeName(file.c_str()));
    if (!device.open(QIODevice::ReadOnly) || !BmpRowsPresent(device)) return std::nullopt;
    // The format comes from the bytes, so a picture misnamed by its
    // extension still loads.
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    // A picture too large to keep is refused before a single row is decoded.
    const QSize claimed = reader.size();
    if (claimed.isValid() && uint64_t(claimed.width()) * uint64_t(claimed.height()) > maxPixels) return std::nullopt;
    const QImage read = reader.read();
    if (read.isNull()) return std::nullopt;
    // Premultiplied colour is the colour composed over black.
    const QImage image = read.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return std::nullopt;

    DecodedImage decoded;
    decoded.width = image.width();
    decoded.height = image.height();
    decoded.stride = Stride24(decoded.width);
    decoded.rows.assign(static_cast<size_t>(decoded.stride) * static_cast<size_t>(decoded.height), 0);
    for (int32_t y = 0; y < decoded.height; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // Buffer row 0 is the picture's bottom row.
        uint8_t* row = decoded.rows.data() + static_cast<size_t>(decoded.height - 1 - y) * decoded.stride;
        for (int32_t x = 0; x < decoded.width; ++x) {
            row[3 * x] = static_cast<uint8_t>(qBlue(source[x]));
            row[3 * x + 1] = static_cast<uint8_t>(qGreen(source[x]));
            row[3 * x + 2] = static_cast<uint8_t>(qRed(source[x]));
        }
    }
    return decoded;
}

bool WriteJpeg(const std::filesystem::path& file, const uint8_t* pixels, int32_t width, int32_t height,
               int32_t quality)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || width > INT_MAX / 4) return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return false;
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* source = pixels + static_cast<size_t>(y) * stride;
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int32_t x = 0; x < width; ++x) {
            target[x] = qRgb(source[4 * x + 2], source[4 * x + 1], source[4 * x]);
        }
    }

    // The finished picture is renamed over the target, which would take the
    // file away from under a stream of the program that holds it open.
    if (FileHeld(file)) return false;
    QSaveFile out(QFile::decodeName(file.c_str()));
    if (!out.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace vellum::platform
