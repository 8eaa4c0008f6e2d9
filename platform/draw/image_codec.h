// Picture files for bitmaps: decoding BMP, ICO, PNG, JPEG and GIF files into
// 24-bit rows, and writing 32-bit pixels as a JPEG file. The decoding and
// the encoder are Qt's; callers see plain bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace vellum::platform {

// A decoded picture as 24-bit rows, bottom-up, each padded to a multiple of
// 4 bytes (stride = ((width * 24 + 31) / 32) * 4), pixels blue, green, red.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t stride = 0;
    std::vector<uint8_t> rows;
};

// Nothing when the file cannot be read or decoded, when its pixel data is
// not all in the file, or when it has more than maxPixels pixels.
// Transparent parts are composed over black, as a block transfer of the
// loaded bitmap would.
std::optional<DecodedImage> DecodeImageFile(const std::filesystem::path& file, uint64_t maxPixels);

// Writes width x height pixels of 4 bytes each (blue, green, red, unused),
// top-down with stride 4 * width, as a JPEG file of the given quality,
// whatever the file's extension. False when the file cannot be written.
bool WriteJpeg(const std::filesystem::path& file, const uint8_t* pixels, int32_t width, int32_t height,
               int32_t quality);

} // namespace vellum::platform
