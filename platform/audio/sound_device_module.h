// What the sound module (vellum-sound.so, the one part of the program that
// links ALSA) offers: the sound device's output and input. The first
// sound a run plays or records loads it (sound_devices.cpp).
#pragma once

#include "platform/audio/wave_input.h"
#include "platform/audio/wave_output.h"

#include <cstdint>
#include <memory>

namespace vellum::platform {

struct SoundDeviceModule {
    std::unique_ptr<WaveOutput> (*openOutput)(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount);
    std::unique_ptr<WaveInput> (*openInput)(uint32_t sampleRate);
};

inline constexpr char kSoundModuleFile[] = "vellum-sound.so";
inline constexpr char kSoundModuleEntry[] = "vellum_sound_module";

// The module's own: ALSA's default playback and capture devices.
std::unique_ptr<WaveOutput> OpenAlsaOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount);
std::unique_ptr<WaveInput> OpenAlsaInput(uint32_t sampleRate);

} // namespace vellum::platform
