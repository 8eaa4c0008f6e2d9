// Runs work over the rows of a picture on several threads, each thread on a
// band of neighbouring rows. Every row is computed by the same code whatever
// band it falls in, so the result does not depend on the number of threads.
#pragma once

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace vellum::media {

// Below this many bytes of work a thread costs more than it saves.
inline constexpr uint64_t kBytesPerThread = 1u << 20;

// Calls work(firstRow, endRow) for bands covering [0, rows); bytes is the
// amount of memory the whole job touches.
template <class Work>
void ForRowBands(int32_t rows, uint64_t bytes, const Work& work)
{
    const uint64_t cores = std::max(1u, std::thread::hardware_concurrency());
    const uint64_t wanted = std::min<uint64_t>({cores, bytes / kBytesPerThread + 1, static_cast<uint64_t>(std::max(rows, 1))});
    const int32_t bands = static_cast<int32_t>(std::min<uint64_t>(wanted, 16));
    if (bands <= 1) {
        work(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(static_cast<size_t>(bands - 1));
    const auto bandStart = [&](int32_t band) {
        return static_cast<int32_t>(static_cast<int64_t>(rows) * band / bands);
    };
    for (int32_t band = 1; band < bands; ++band) {
        const int32_t first = bandStart(band);
        const int32_t end = bandStart(band + 1);
        try {
            helpers.emplace_back([&work, first, end] { work(first, end); });
        } catch (const std::system_error&) {
            // No thread to be had: this one does the band itself.
            work(first, end);
        }
    }
    work(0, bandStart(1));
    for (std::thread& helper : helpers) helper.join();
}

} // namespace vellum::media
