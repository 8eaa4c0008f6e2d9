// Contact photos as the contact services need them: the size of a photo
// kept as encoded bytes (JPEG, PNG, GIF, BMP), and the photo scaled to a
// size and drawn on white, as a picture a TImage draws.
#pragma once

#include "platform/draw/geometry.h"
#include "platform/draw/picture.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace vellum::platform {

// None when the bytes cannot be decoded.
std::optional<Size> EncodedPictureSize(std::span<const uint8_t> bytes);

// The photo scaled to exactly size over a white ground; none when it
// cannot be decoded or size is empty.
std::unique_ptr<Picture> PictureOnWhite(std::span<const uint8_t> bytes, Size size);

} // namespace vellum::platform
