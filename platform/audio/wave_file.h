// Reading a WAV file into the sample format the mixer and the sounds play:
// signed 32-bit mono samples at 44.1 kHz. Only plain PCM files at 44 100,
// 22 050 or 11 025 samples per second are read, converted once at load time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vellum::platform {

enum class WaveReadResult { Ok, NotFound, InvalidFormat };

// On anything but Ok, samples is left empty.
WaveReadResult ReadWaveFile(const std::filesystem::path& file, std::vector<int32_t>& samples);

} // namespace vellum::platform
