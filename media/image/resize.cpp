// Resizing. A picture that shrinks along either axis takes, for every
// result pixel, the area average of the source rectangle it covers; a
// picture that only grows takes the cubic interpolation (the 4 x 4 kernel
// with a = -0.5, coordinates clamped to the picture) at the pixel's sample
// point. All arithmetic is single precision.
//
// The sample point of result column x is (x + 0.5) * sx - 0.5, so every
// weight depends on the column alone or the row alone: both are computed
// once per column and once per row, and the pixels are then summed in
// exactly the order and with exactly the products a pixel-by-pixel
// evaluation uses, so the result is the same to the byte. Bands of result
// rows go to separate threads.
#include "media/image/image_operations.h"

#include "media/image/row_bands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace vellum::media {

namespace {

constexpr float kA = -0.5f;

float Kernel(float d)
{
    const float t = std::fabs(d);
    if (t < 1) return (kA + 2) * t * t * t - (kA + 3) * t * t + 1;
    if (t < 2) return kA * t * t * t - 5 * kA * t * t + 8 * kA * t - 4 * kA;
    return 0;
}

int32_t Floor(float f)
{
    const auto whole = static_cast<int32_t>(f);
    return f < static_cast<float>(whole) ? whole - 1 : whole;
}

uint8_t Level(float sum)
{
    return sum < 0 ? 0 : sum > 255 ? 255 : static_cast<uint8_t>(sum);
}

// The four neighbours of a sample coordinate along one axis, clamped to
// the picture, with their kernel weights. Sample points of a resize lie in
// [-0.5, n - 0.5], so the neighbourhood always meets the picture and is
// never moved back onto it.
struct CubicTaps {
    int32_t index[4];
    float weight[4];
};

CubicTaps CubicTapsAt(float f, int32_t n)
{
    CubicTaps taps{};
    const int32_t i = Floor(f);
    for (int32_t k = 0; k < 4; ++k) {
        taps.weight[k] = Kernel(f - static_cast<float>(i - 1 + k));
        taps.index[k] = std::clamp(i - 1 + k, 0, n - 1);
    }
    return taps;
}

float SamplePoint(int32_t x, float scale)
{
    return (static_cast<float>(x) + 0.5f) * scale - 0.5f;
}

struct Sum {
    float b = 0;
    float g = 0;
    float r = 0;

    void Add(float w, const uint8_t* p)
    {
        b += w * static_cast<float>(p[0]);
        g += w * static_cast<float>(p[1]);
        r += w * static_cast<float>(p[2]);
    }
};

// The interpolated levels at the point (tx, ty) of the source, summed row by
// row of the neighbourhood with the weight wx[i] * wy[j] for each pixel.
void CubicSample(const DibImage& source, const CubicTaps& tx, const CubicTaps& ty, uint8_t* out)
{
    Sum sum;
    for (int32_t j = 0; j < 4; ++j) {
        const uint8_t* row = source.Row(ty.index[j]);
        for (int32_t i = 0; i < 4; ++i) sum.Add(tx.weight[i] * ty.weight[j], row + 3 * tx.index[i]);
    }
    out[0] = Level(sum.b);
    out[1] = Level(sum.g);
    out[2] = Level(sum.r);
}

// The pixel squares [i - 0.5, i + 0.5] one result pixel's interval
// [f - s/2, f + s/2] overlaps along one axis, each with the length of the
// overlap and its middle; indices past the picture are clamped to it.
struct AreaAxis {
    struct Tap {
        int32_t index;
        float overlap;
        float middle;
    };
    struct Span {
        size_t first;
        size_t count;
        float length;
    };
    std::vector<Tap> taps;
    std::vector<Span> spans;
    // Only when the other axis interpolates: the cubic taps at each middle.
    std::vector<CubicTaps> cubic;
};

AreaAxis MakeAreaAxis(int32_t results, int32_t n, float scale, bool withCubic)
{
    AreaAxis axis;
    axis.spans.reserve(static_cast<size_t>(results));
    for (int32_t x = 0; x < results; ++x) {
        const float f = SamplePoint(x, scale);
        const float low = f - scale / 2;
        const float high = f + scale / 2;
        AreaAxis::Span span{axis.taps.size(), 0, high - low};
        for (int32_t i = Floor(low + 0.5f); static_cast<float>(i) - 0.5f < high; ++i) {
            const float from = std::max(low, static_cast<float>(i) - 0.5f);
            const float to = std::min(high, static_cast<float>(i) + 0.5f);
            if (to <= from) continue;
            axis.taps.push_back({std::clamp(i, 0, n - 1), to - from, (from + to) * 0.5f});
            if (withCubic) axis.cubic.push_back(CubicTapsAt((from + to) * 0.5f, n));
            ++span.count;
        }
        axis.spans.push_back(span);
    }
    return axis;
}

// Growing (or keeping) both sides: the cubic interpolation at every sample point.
void Interpolate(const DibImage& source, DibImage& result, float sx, float sy)
{
    std::vector<CubicTaps> columns(static_cast<size_t>(result.Width()));
    for (int32_t x = 0; x < result.Width(); ++x) columns[static_cast<size_t>(x)] = CubicTapsAt(SamplePoint(x, sx), source.Width());
    const uint64_t bytes = uint64_t{result.Stride()} * static_cast<uint64_t>(result.Height()) * 4;
    ForRowBands(result.Height(), bytes, [&](int32_t first, int32_t end) {
        for (int32_t y = first; y < end; ++y) {
            const CubicTaps ty = CubicTapsAt(SamplePoint(y, sy), source.Height());
            uint8_t* out = result.Row(y);
            for (const CubicTaps& tx : columns) {
                CubicSample(source, tx, ty, out);
                out += 3;
            }
        }
    });
}

// Shrinking along at least one axis: the area average over the rectangle
// of one result pixel. When both axes shrink, every source pixel the
// rectangle meets counts with the area it shares with it; when one axis
// does not, each shared piece counts with the cubic interpolation at its middle.
template <bool kBothShrink>
void AverageRows(const DibImage& source, DibImage& result, const AreaAxis& ax, const AreaAxis& ay, int32_t first,
                 int32_t end)
{
    for (int32_t y = first; y < end; ++y) {
        const AreaAxis::Span& rows = ay.spans[static_cast<size_t>(y)];
        uint8_t* out = result.Row(y);
        for (const AreaAxis::Span& columns : ax.spans) {
            Sum sum;
            for (size_t j = rows.first; j < rows.first + rows.count; ++j) {
                const AreaAxis::Tap& tj = ay.taps[j];
                const uint8_t* row = source.Row(tj.index);
                for (size_t i = columns.first; i < columns.first + columns.count; ++i) {
                    const AreaAxis::Tap& ti = ax.taps[i];
                    const float area = ti.overlap * tj.overlap;
                    if constexpr (kBothShrink) {
                        sum.Add(area, row + 3 * ti.index);
                    } else {
                        uint8_t levels[3];
                        CubicSample(source, ax.cubic[i], ay.cubic[j], levels);
                        sum.Add(area, levels);
                    }
                }
            }
            const float size = columns.length * rows.length;
            out[0] = Level(sum.b / size);
            out[1] = Level(sum.g / size);
            out[2] = Level(sum.r / size);
            out += 3;
        }
    }
}

void Average(const DibImage& source, DibImage& result, float sx, float sy)
{
    const bool bothShrink = sx > 1 && sy > 1;
    const AreaAxis ax = MakeAreaAxis(result.Width(), source.Width(), sx, !bothShrink);
    const AreaAxis ay = MakeAreaAxis(result.Height(), source.Height(), sy, !bothShrink);
    const uint64_t bytes = uint64_t{source.Stride()} * static_cast<uint64_t>(source.Height());
    ForRowBands(result.Height(), bytes, [&](int32_t first, int32_t end) {
        if (bothShrink) {
            AverageRows<true>(source, result, ax, ay, first, end);
        } else {
            AverageRows<false>(source, result, ax, ay, first, end);
        }
    });
}

} // namespace

bool Resize(DibImage& source, DibImage* dest, int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || source.Empty() || source.BitCount() != 24) return false;
    if (width == source.Width() && height == source.Height()) {
        // Nothing to compute; a destination still receives the picture.
        if (dest == nullptr || dest == &source) return true;
        DibImage copy;
        if (!CopyImage(source, copy)) return false;
        Deliver(copy, source, dest);
        return true;
    }
    const float sx = static_cast<float>(source.Width()) / static_cast<float>(width);
    const float sy = static_cast<float>(source.Height()) / static_cast<float>(height);
    DibImage result;
    if (!result.Create(static_cast<uint32_t>(width), static_cast<uint32_t>(height), source.BitCount(), source.Type())) {
        return false;
    }
    if (sx > 1 || sy > 1) {
        Average(source, result, sx, sy);
    } else {
        Interpolate(source, result, sx, sy);
    }
    Deliver(result, source, dest);
    return true;
}

} // namespace vellum::media
