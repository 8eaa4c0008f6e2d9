// The output player: plays 16-bit mono 44.1 kHz audio that a fill callback
// makes, buffer by buffer, on a playback thread of its own, through the
// wave output (the sound device, or the WAV file named by VELLUM_AUDIO_OUT).
// The thread keeps a ring of four buffers queued and blocks on the oldest,
// so the callback runs about 450 ms ahead of what is heard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vellum::platform {

class OutputPlayer {
public:
    static constexpr uint32_t kSampleRate = 44100;
    static constexpr uint16_t kBitsPerSample = 16;
    static constexpr uint16_t kChannels = 1;
    static constexpr size_t kBufferBytes = 10000;
    static constexpr size_t kBufferCount = 4;

    // Runs on the playback thread, once per buffer; it must fill every sample.
    using Fill = std::function<void(std::span<int16_t> samples)>;

    OutputPlayer();
    ~OutputPlayer(); // stops
    OutputPlayer(const OutputPlayer&) = delete;
    OutputPlayer& operator=(const OutputPlayer&) = delete;

    // Stops what plays, opens the output anew and starts the playback
    // thread. Without an output (no device, ALSA cannot open) nothing plays,
    // fill is never called and no thread spins.
    void Start(Fill fill);
    // As Start, for a sound of `samples` samples: the player ends by itself
    // once they have been heard (Playing() turns false, the output closes).
    void Start(Fill fill, uint64_t samples);
    // When it returns the playback thread has left the ring for good and
    // fill is not called again.
    void Stop();
    bool Playing() const;

    // Samples the output has played since the last Start.
    uint64_t PlayedSamples() const;
    // The bytes of the buffers queued and not yet played out.
    size_t BytesQueued() const;

private:
    struct Engine;
    std::unique_ptr<Engine> engine;
};

// Stops what the player plays and plays the samples (of the mixer's
// format) once, each clamped to 16 bits; the player ends by itself after.
void PlayOnce(OutputPlayer& player, std::vector<int32_t> samples);

} // namespace vellum::platform
