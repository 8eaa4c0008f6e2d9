// The sound input: 16-bit mono samples from ALSA's default capture device,
// taken as they arrive, without waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace vellum::platform {

class WaveInput {
public:
    virtual ~WaveInput() = default;
    // Copies the samples captured since the last call, as many as fit;
    // false once the device failed (it was unplugged, or it stopped).
    virtual bool Read(std::span<int16_t> out, size_t& count) = 0;
};

// Null when there is no capture device or it cannot take the rate.
std::unique_ptr<WaveInput> OpenDeviceInput(uint32_t sampleRate);

} // namespace vellum::platform
