// The 44-byte header of a plain PCM WAV file, for the files the program
// writes: what the wave output records and what the voice recorder takes.
#pragma once

#include "platform/audio/wave_output.h"

#include <array>
#include <cstdint>

namespace vellum::platform {

inline constexpr uint64_t kWaveHeaderBytes = 44;

std::array<uint8_t, kWaveHeaderBytes> WaveHeader(const WaveFormat& format, uint32_t dataBytes);

} // namespace vellum::platform
