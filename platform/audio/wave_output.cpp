// Choosing the wave output: the file VELLUM_AUDIO_OUT names stands in for
// the device, so a headless run renders to it and never reaches a device.
#include "platform/audio/wave_output.h"

#include "platform/audio/wave_output_backends.h"

#include <cstdlib>

namespace vellum::platform {

std::unique_ptr<WaveOutput> OpenWaveOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount)
{
    const bool playable = (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.channels > 0 &&
                          format.sampleRate > 0 && blockFrames > 0 && blockCount > 0;
    if (!playable) return nullptr;
    const char* file = std::getenv("VELLUM_AUDIO_OUT");
    if (file && *file) return OpenFileOutput(file, format, blockFrames, blockCount);
    return OpenDeviceOutput(format, blockFrames, blockCount);
}

} // namespace vellum::platform
