// Reads the bytes as a WAV file into the mixer's sample format.
#include "tests/fuzz/fuzz_bench.h"

#include "platform/audio/wave_file.h"

#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const auto file = vellum::fuzz::WriteDeviceFile("input.wav", std::span<const uint8_t>(data, size));
    std::vector<int32_t> samples;
    const vellum::platform::WaveReadResult result = vellum::platform::ReadWaveFile(file, samples);
    if (result != vellum::platform::WaveReadResult::Ok && !samples.empty()) __builtin_trap();
    return 0;
}
