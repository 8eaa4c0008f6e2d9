#include "platform/audio/wave_header.h"

#include <algorithm>

namespace vellum::platform {

namespace {

void PutLe(uint8_t* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

std::array<uint8_t, kWaveHeaderBytes> WaveHeader(const WaveFormat& format, uint32_t dataBytes)
{
    std::array<uint8_t, kWaveHeaderBytes> h{};
    auto tag = [&](size_t at, const char (&text)[5]) { std::copy(text, text + 4, h.begin() + at); };
    tag(0, "RIFF");
    PutLe(&h[4], static_cast<uint32_t>(kWaveHeaderBytes - 8 + dataBytes), 4);
    tag(8, "WAVE");
    tag(12, "fmt ");
    PutLe(&h[16], 16, 4);
    PutLe(&h[20], 1, 2); // PCM
    PutLe(&h[22], format.channels, 2);
    PutLe(&h[24], format.sampleRate, 4);
    PutLe(&h[28], format.sampleRate * format.FrameBytes(), 4);
    PutLe(&h[32], format.FrameBytes(), 2);
    PutLe(&h[34], format.bitsPerSample, 2);
    tag(36, "data");
    PutLe(&h[40], dataBytes, 4);
    return h;
}

} // namespace vellum::platform
