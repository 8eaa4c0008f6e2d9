// The two kinds of wave output, chosen by OpenWaveOutput.
#pragma once

#include "platform/audio/wave_output.h"

#include <filesystem>

namespace vellum::platform {

std::unique_ptr<WaveOutput> OpenDeviceOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount);
std::unique_ptr<WaveOutput> OpenFileOutput(const std::filesystem::path& file, const WaveFormat& format,
                                           uint32_t blockFrames, uint32_t blockCount);

} // namespace vellum::platform
