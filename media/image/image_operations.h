// The processing a script applies to a bitmap. Each operation reads the
// source and writes its result into dest, or back into the source when
// dest is null; the result is built in an image of its own first, so an
// operation that cannot make it (an empty source, a size past the memory
// limit, no memory) fails and leaves both images as they were.
// The operations work on 24-bit images; the tone curve also maps palettes.
#pragma once

#include "media/image/dib_image.h"

#include <cstdint>

namespace vellum::media {

// Keeps the rectangle between the two corners, in picture coordinates
// (y from the top), clamped to the picture; the corners may come in either order.
bool Crop(DibImage& source, DibImage* dest, int32_t left, int32_t top, int32_t right, int32_t bottom);

// Scales to width x height: by area average when either side shrinks,
// else by cubic interpolation.
bool Resize(DibImage& source, DibImage* dest, int32_t width, int32_t height);

// A quarter turn clockwise (90), counter-clockwise (270) or a half turn
// (180); any other angle fails.
bool Rotate(DibImage& source, DibImage* dest, double angle);

// Maps every level through one curve: brightness shifts it, contrast
// (-100 flat .. 0 unchanged .. 100 doubled) stretches it around 128.
bool BrightnessContrast(DibImage& source, DibImage* dest, int32_t brightness, int32_t contrast);

// Replaces every pixel by its luma in all three channels.
bool BlackAndWhite(DibImage& source, DibImage* dest);

// A full copy of source (pixels, palette, type) in out; false when out
// cannot be made, which then stays empty.
bool CopyImage(const DibImage& source, DibImage& out);

// Moves a finished result into dest, or into the source when there is none.
void Deliver(DibImage& result, DibImage& source, DibImage* dest);

} // namespace vellum::media
