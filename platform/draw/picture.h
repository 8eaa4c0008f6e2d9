// A picture loaded from a file for drawing: a bitmap (".bmp" and the
// decoded ".png", ".jpg", ".gif") or an icon (".ico"). The decoding is
// Qt's; the views only need the size and a way to draw it.
#pragma once

#include "platform/draw/geometry.h"

#include <filesystem>
#include <memory>

namespace vellum::platform {

class Picture {
public:
    enum class Kind { Bitmap, Icon };

    // Nothing when the file cannot be read or decoded.
    static std::unique_ptr<Picture> Load(const std::filesystem::path& file);
    // The decoded image, defined for the platform layer in picture_pixels.h.
    struct Pixels;
    explicit Picture(Pixels pixels, Kind kind = Kind::Bitmap);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    Size Dimensions() const;
    Kind GetKind() const { return kind; }
    const Pixels& GetPixels() const { return *pixels; }

private:
    std::unique_ptr<Pixels> pixels;
    Kind kind;
};

} // namespace vellum::platform
