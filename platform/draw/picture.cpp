// Pictures decoded by Qt's image readers (BMP, ICO, PNG, JPEG and GIF with
// the plugins Qt ships). An icon file holds several images; the first is
// the one its author put forward, and it is taken as the icon.
#include "platform/draw/picture.h"

#include "platform/draw/picture_pixels.h"

#include "engine/core/case_folding.h"

#include <QFile>
#include <QImageReader>

#include <string>
#include <utility>

namespace vellum::platform {

namespace {

bool IsIconFile(const std::filesystem::path& file)
{
    // The extension is ASCII: only ASCII letters may stand for it.
    return EqualsAsciiWord(file.extension().u16string(), u".ico");
}

} // namespace

std::unique_ptr<Picture> Picture::Load(const std::filesystem::path& file)
{
    QFile device(QFile::decodeName(file.c_str()));
    if (!device.open(QIODevice::ReadOnly)) return nullptr;
    // The format comes from the bytes, so a picture misnamed by its
    // extension still loads.
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    return std::make_unique<Picture>(Pixels{std::move(image)}, IsIconFile(file) ? Kind::Icon : Kind::Bitmap);
}

Picture::Picture(Pixels pixels_, Kind kind_) : pixels(std::make_unique<Pixels>(std::move(pixels_))), kind(kind_) {}

Picture::~Picture() = default;

Size Picture::Dimensions() const { return {pixels->image.width(), pixels->image.height()}; }

} // namespace vellum::platform
