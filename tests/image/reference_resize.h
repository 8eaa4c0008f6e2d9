// The resize computed the plain way, pixel by pixel, straight from the
// definitions: the kernel, the sample point of every result pixel, the 4 x 4
// neighbourhood summed row by row, and the area average over each result
// pixel's rectangle. The library computes the same with precomputed
// weights and threads; both must agree to the byte.
#pragma once

#include "image/image_helpers.h"

#include <algorithm>
#include <cmath>

namespace vellum::test::reference {

inline float Kernel(float d)
{
    const float a = -0.5f;
    const float t = std::fabs(d);
    if (t < 1) return (a + 2) * t * t * t - (a + 3) * t * t + 1;
    if (t < 2) return a * t * t * t - 5 * a * t * t + 8 * a * t - 4 * a;
    return 0;
}

inline int Level(float v)
{
    return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v);
}

inline Bgr Cubic(const DibImage& image, float fx, float fy)
{
    const int w = image.Width();
    const int h = image.Height();
    int ix = static_cast<int>(std::floor(fx));
    int iy = static_cast<int>(std::floor(fy));
    if (ix + 2 < 0 || ix - 1 >= w || iy + 2 < 0 || iy - 1 >= h) {
        fx = std::clamp(fx, 0.0f, static_cast<float>(w - 1));
        fy = std::clamp(fy, 0.0f, static_cast<float>(h - 1));
        ix = static_cast<int>(std::floor(fx));
        iy = static_cast<int>(std::floor(fy));
    }
    float wx[4];
    float wy[4];
    for (int i = 0; i < 4; ++i) {
        wx[i] = Kernel(fx - static_cast<float>(ix - 1 + i));
        wy[i] = Kernel(fy - static_cast<float>(iy - 1 + i));
    }
    float sum[3] = {0, 0, 0};
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            const Bgr p = At(image, std::clamp(ix - 1 + i, 0, w - 1), std::clamp(iy - 1 + j, 0, h - 1));
            for (int c = 0; c < 3; ++c) sum[c] += wx[i] * wy[j] * static_cast<float>(p[static_cast<size_t>(c)]);
        }
    }
    return {Level(sum[0]), Level(sum[1]), Level(sum[2])};
}

inline Bgr Area(const DibImage& image, float fx, float fy, float w, float h)
{
    if (w <= 1 && h <= 1) return Cubic(image, fx, fy);
    const float x1 = fx - w / 2;
    const float x2 = fx + w / 2;
    const float y1 = fy - h / 2;
    const float y2 = fy + h / 2;
    const bool bothWide = w > 1 && h > 1;
    float sum[3] = {0, 0, 0};
    for (int j = static_cast<int>(std::floor(y1 + 0.5f)); static_cast<float>(j) - 0.5f < y2; ++j) {
        const float top = std::max(y1, static_cast<float>(j) - 0.5f);
        const float bottom = std::min(y2, static_cast<float>(j) + 0.5f);
        if (bottom <= top) continue;
        for (int i = static_cast<int>(std::floor(x1 + 0.5f)); static_cast<float>(i) - 0.5f < x2; ++i) {
            const float left = std::max(x1, static_cast<float>(i) - 0.5f);
            const float right = std::min(x2, static_cast<float>(i) + 0.5f);
            if (right <= left) continue;
            const Bgr p = bothWide ? At(image, std::clamp(i, 0, image.Width() - 1), std::clamp(j, 0, image.Height() - 1))
                                   : Cubic(image, (left + right) * 0.5f, (top + bottom) * 0.5f);
            const float area = (right - left) * (bottom - top);
            for (int c = 0; c < 3; ++c) sum[c] += area * static_cast<float>(p[static_cast<size_t>(c)]);
        }
    }
    const float size = (x2 - x1) * (y2 - y1);
    return {Level(sum[0] / size), Level(sum[1] / size), Level(sum[2] / size)};
}

// The resized picture as a plain array of rows (bottom-up), pixel by pixel.
inline std::vector<std::vector<Bgr>> Resize(const DibImage& image, int newWidth, int newHeight)
{
    const float sx = static_cast<float>(image.Width()) / static_cast<float>(newWidth);
    const float sy = static_cast<float>(image.Height()) / static_cast<float>(newHeight);
    std::vector<std::vector<Bgr>> rows(static_cast<size_t>(newHeight), std::vector<Bgr>(static_cast<size_t>(newWidth)));
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            const float fx = (static_cast<float>(x) + 0.5f) * sx - 0.5f;
            const float fy = (static_cast<float>(y) + 0.5f) * sy - 0.5f;
            rows[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                sx > 1 || sy > 1 ? Area(image, fx, fy, sx, sy) : Cubic(image, fx, fy);
        }
    }
    return rows;
}

} // namespace vellum::test::reference
