// The wave output: PCM blocks played in order, with the position heard so
// far. It is the sound device (ALSA's default device), or, when the
// environment variable VELLUM_AUDIO_OUT names a file, a WAV file that
// records what would have been heard, paced like a device so that the
// position advances in real time. Headless runs and tests use the file.
//
// The output holds blockCount blocks not yet heard; a writer waits on the
// oldest (WaitPlayed) before it makes the next, and a Write that finds the
// output full waits for room. One thread writes and waits; any thread may
// read the position or reset at the same time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace vellum::platform {

struct WaveFormat {
    uint32_t sampleRate = 44100;
    uint16_t channels = 1;
    uint16_t bitsPerSample = 16; // 8 (unsigned) or 16 (signed little-endian)

    uint32_t FrameBytes() const { return uint32_t{channels} * bitsPerSample / 8; }
};

class WaveOutput {
public:
    virtual ~WaveOutput() = default; // closes; what is not yet heard is dropped

    // Queues whole frames after those written before, waiting while the
    // output is full. False once the output was reset, failed, or made no
    // progress for seconds: nothing more can be written then.
    virtual bool Write(std::span<const uint8_t> frames) = 0;
    // Waits until the position reaches `frames`, or everything written has
    // been heard when that is less; false as for Write.
    virtual bool WaitPlayed(uint64_t frames) = 0;
    // Frames heard since the output opened.
    virtual uint64_t PlayedFrames() = 0;
    // Drops what is queued at once. A Write or WaitPlayed that waits returns
    // false at once, and so does every later one.
    virtual void Reset() = 0;
};

// The output the environment names, ready for blocks of blockFrames frames.
// Null when it cannot open (no sound device, or the file cannot be
// written): nothing can play then. When VELLUM_AUDIO_OUT is set the file is
// the only output; while one output records into it, another cannot open.
std::unique_ptr<WaveOutput> OpenWaveOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount);

} // namespace vellum::platform
