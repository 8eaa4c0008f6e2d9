// The bitmap benchmark: the processing of a 4000 x 3000 picture (a smooth
// gradient with noise, the same on every run). Writes the picture once as a
// binary PPM, so that another program can be timed on the same pixels, then
// times each operation on its own (best of several runs, the picture
// already in memory) and prints one line per operation: its name and seconds.
//
// usage: vellum-image-bench PICTURE.ppm [RUNS]
#include "media/image/dib_image.h"
#include "media/image/image_operations.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

namespace {

using namespace vellum::media;
using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 4000;
constexpr int32_t kHeight = 3000;

DibImage MakePicture()
{
    DibImage image;
    if (!image.Create(kWidth, kHeight, 24)) return image;
    uint32_t noise = 12345;
    for (int32_t r = 0; r < kHeight; ++r) {
        uint8_t* p = image.Row(r);
        for (int32_t x = 0; x < kWidth; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            const int32_t jitter = static_cast<int32_t>(noise >> 27) - 16;
            p[0] = static_cast<uint8_t>(std::clamp(x * 255 / kWidth + jitter, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(r * 255 / kHeight + jitter, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp((x + r) * 255 / (kWidth + kHeight) - jitter, 0, 255));
        }
    }
    return image;
}

// Top row first, red, green, blue.
bool WritePpm(const DibImage& image, const char* path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.Width() << " " << image.Height() << "\n255\n";
    std::vector<char> row(3 * static_cast<size_t>(image.Width()));
    for (int32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* p = image.Row(image.Height() - 1 - y);
        for (int32_t x = 0; x < image.Width(); ++x) {
            row[3 * static_cast<size_t>(x)] = static_cast<char>(p[3 * x + 2]);
            row[3 * static_cast<size_t>(x) + 1] = static_cast<char>(p[3 * x + 1]);
            row[3 * static_cast<size_t>(x) + 2] = static_cast<char>(p[3 * x]);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

double Best(int runs, const std::function<bool()>& operation)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!operation()) return -1;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: vellum-image-bench PICTURE.ppm [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    DibImage picture = MakePicture();
    if (picture.Empty() || !WritePpm(picture, argv[1])) {
        std::fprintf(stderr, "vellum-image-bench: cannot make or write the picture\n");
        return 1;
    }
    // Every operation writes into a destination, so that the picture stays
    // the same for the next run and for the next operation.
    DibImage result;
    const struct {
        const char* name;
        std::function<bool()> operation;
    } operations[] = {
        {"resize-800x600", [&] { return Resize(picture, &result, 800, 600); }},
        {"resize-8000x6000", [&] { return Resize(picture, &result, 8000, 6000); }},
        {"rotate-90", [&] { return Rotate(picture, &result, 90); }},
        {"brightness-contrast", [&] { return BrightnessContrast(picture, &result, 20, 30); }},
        {"black-and-white", [&] { return BlackAndWhite(picture, &result); }},
    };
    for (const auto& [name, operation] : operations) {
        const double seconds = Best(runs, operation);
        if (seconds < 0) {
            std::fprintf(stderr, "vellum-image-bench: %s failed\n", name);
            return 1;
        }
        std::printf("%s %.4f\n", name, seconds);
        std::fflush(stdout);
    }
    return 0;
}
