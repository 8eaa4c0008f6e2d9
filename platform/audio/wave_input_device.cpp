// Capture from ALSA's default device, opened non-blocking so that a
// machine without a microphone answers at once and a reader polls from
// its window's timer instead of blocking the interface thread.
#include "platform/audio/sound_device_module.h"

#include <alsa/asoundlib.h>

#include <cerrno>

namespace vellum::platform {

namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

class DeviceInput final : public WaveInput {
public:
    explicit DeviceInput(snd_pcm_t* pcm) : pcm(pcm) {}
    ~DeviceInput() override { snd_pcm_close(pcm); }

    bool Read(std::span<int16_t> out, size_t& count) override
    {
        count = 0;
        while (count < out.size()) {
            const snd_pcm_sframes_t got = snd_pcm_readi(pcm, out.data() + count, out.size() - count);
            if (got == -EAGAIN) return true;
            if (got < 0) {
                // An overrun loses what the device held; capturing goes on.
                if (snd_pcm_recover(pcm, static_cast<int>(got), 1) < 0) return false;
                continue;
            }
            if (got == 0) return true;
            count += static_cast<size_t>(got);
        }
        return true;
    }

private:
    snd_pcm_t* pcm;
};

} // namespace

std::unique_ptr<WaveInput> OpenAlsaInput(uint32_t sampleRate)
{
    snd_lib_error_set_handler(QuietAlsa);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) return nullptr;
    // Half a second of buffer: the window's timer reads far more often.
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, sampleRate, 1, 500000) < 0 ||
        snd_pcm_start(pcm) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<DeviceInput>(pcm);
}

} // namespace vellum::platform
