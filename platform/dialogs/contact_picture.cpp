#include "platform/dialogs/contact_picture.h"

#include "platform/draw/picture_pixels.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

namespace vellum::platform {

namespace {

// The reader over the bytes, which it does not copy; the format comes
// from the bytes themselves.
struct BytesReader {
    explicit BytesReader(std::span<const uint8_t> bytes)
        : data(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))),
          buffer(&data)
    {
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setDecideFormatFromContent(true);
    }
    QByteArray data;
    QBuffer buffer;
    QImageReader reader;
};

} // namespace

std::optional<Size> EncodedPictureSize(std::span<const uint8_t> bytes)
{
    if (bytes.empty()) return std::nullopt;
    BytesReader source(bytes);
    const QImage image = source.reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return std::nullopt;
    return Size{image.width(), image.height()};
}

std::unique_ptr<Picture> PictureOnWhite(std::span<const uint8_t> bytes, Size size)
{
    if (bytes.empty() || size.width <= 0 || size.height <= 0) return nullptr;
    BytesReader source(bytes);
    const QImage photo = source.reader.read();
    if (photo.isNull()) return nullptr;
    QImage canvas(size.width, size.height, QImage::Format_RGB32);
    if (canvas.isNull()) return nullptr; // too large to allocate
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, size.width, size.height), photo);
    painter.end();
    return std::make_unique<Picture>(Picture::Pixels{std::move(canvas)});
}

} // namespace vellum::platform
