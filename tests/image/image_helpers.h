// Small pictures built in the tests, and reading their pixels back.
#pragma once

#include "media/image/dib_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>

namespace vellum::test {

using media::DibHeader;
using media::DibImage;
using Bgr = std::array<int, 3>;

// A 24-bit picture whose pixel (x, buffer row r) is colour(x, r).
template <class Colour>
DibImage MakeImage(int32_t width, int32_t height, Colour colour)
{
    DibImage image;
    EXPECT_TRUE(image.Create(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 24));
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t x = 0; x < width; ++x) {
            const Bgr c = colour(x, r);
            uint8_t* p = image.Pixel(x, r);
            for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(c[static_cast<size_t>(i)]);
        }
    }
    return image;
}

inline DibImage RandomImage(int32_t width, int32_t height, uint32_t seed)
{
    std::mt19937 random(seed);
    return MakeImage(width, height, [&](int32_t, int32_t) {
        return Bgr{static_cast<int>(random() & 255), static_cast<int>(random() & 255), static_cast<int>(random() & 255)};
    });
}

inline Bgr At(const DibImage& image, int32_t x, int32_t r)
{
    const uint8_t* p = image.Row(r) + 3 * x;
    return {p[0], p[1], p[2]};
}

// Every pixel of both, compared by position (padding left out).
inline bool SamePixels(const DibImage& a, const DibImage& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int32_t r = 0; r < a.Height(); ++r) {
        if (std::memcmp(a.Row(r), b.Row(r), 3 * static_cast<size_t>(a.Width())) != 0) return false;
    }
    return true;
}

} // namespace vellum::test
