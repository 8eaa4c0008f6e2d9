// The sound device: ALSA's default device. It is opened non-blocking, so a
// machine without sound fails at once instead of waiting for a device, and
// it stays non-blocking: a writer waits in poll() on the device and on an
// eventfd that Reset signals, so a reset from another thread ends a wait at
// once. Every wait has a limit; a device that makes no progress for
// seconds ends the output instead of keeping its writer forever.
#include "platform/audio/sound_device_module.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <mutex>
#include <vector>

namespace vellum::platform {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStallLimit = std::chrono::seconds(5);
constexpr int kPollLimitMs = 1000;

// alsa-lib prints its diagnostics (a missing card, for one) to standard
// error; a failed open is an answer here, not the script's output.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;

bool Configure(snd_pcm_t* pcm, const WaveFormat& format, snd_pcm_uframes_t blockFrames, uint32_t blockCount)
{
    snd_pcm_hw_params_t* hw = nullptr;
    if (snd_pcm_hw_params_malloc(&hw) < 0) return false;
    std::unique_ptr<snd_pcm_hw_params_t, void (*)(snd_pcm_hw_params_t*)> hwOwner(hw, snd_pcm_hw_params_free);
    snd_pcm_uframes_t period = blockFrames;
    snd_pcm_uframes_t buffer = blockFrames * blockCount;
    const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_hw_params_any(pcm, hw) < 0 || snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(pcm, hw, sampleFormat) < 0 ||
        snd_pcm_hw_params_set_channels(pcm, hw, format.channels) < 0 ||
        snd_pcm_hw_params_set_rate_resample(pcm, hw, 1) < 0 ||
        snd_pcm_hw_params_set_rate(pcm, hw, format.sampleRate, 0) < 0 ||
        snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer) < 0 ||
        snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr) < 0 || snd_pcm_hw_params(pcm, hw) < 0)
        return false;

    snd_pcm_sw_params_t* sw = nullptr;
    if (snd_pcm_sw_params_malloc(&sw) < 0) return false;
    std::unique_ptr<snd_pcm_sw_params_t, void (*)(snd_pcm_sw_params_t*)> swOwner(sw, snd_pcm_sw_params_free);
    // Playing starts with the first block; a writer wakes when a block fits.
    const snd_pcm_uframes_t threshold = std::min(blockFrames, buffer);
    return snd_pcm_sw_params_current(pcm, sw) >= 0 && snd_pcm_sw_params_set_start_threshold(pcm, sw, threshold) >= 0 &&
           snd_pcm_sw_params_set_avail_min(pcm, sw, threshold) >= 0 && snd_pcm_sw_params(pcm, sw) >= 0;
}

class DeviceOutput final : public WaveOutput {
public:
    DeviceOutput(Pcm pcm, int wakeFd, const WaveFormat& format)
        : pcm(std::move(pcm)), wakeFd(wakeFd), frameBytes(format.FrameBytes()), rate(format.sampleRate)
    {
        const int count = snd_pcm_poll_descriptors_count(this->pcm.get());
        if (count <= 0) return;
        deviceFds.resize(static_cast<size_t>(count));
        const int filled = snd_pcm_poll_descriptors(this->pcm.get(), deviceFds.data(), static_cast<unsigned>(count));
        deviceFds.resize(static_cast<size_t>(std::max(0, filled)));
    }

    ~DeviceOutput() override { ::close(wakeFd); } // the pcm closes after, dropping what is queued

    bool Write(std::span<const uint8_t> bytes) override
    {
        const snd_pcm_uframes_t total = bytes.size() / frameBytes;
        snd_pcm_uframes_t done = 0;
        auto progress = Clock::now();
        bool idle = false;
        while (done < total) {
            if (reset) return false;
            snd_pcm_sframes_t n;
            {
                std::lock_guard hold(mutex);
                n = snd_pcm_writei(pcm.get(), bytes.data() + done * frameBytes, total - done);
                if (n > 0) written += static_cast<uint64_t>(n);
                // An underrun (or a suspend) is recovered by preparing the device again.
                if (n < 0 && n != -EAGAIN && snd_pcm_recover(pcm.get(), static_cast<int>(n), 1) < 0) return false;
            }
            if (n > 0) {
                done += static_cast<snd_pcm_uframes_t>(n);
                progress = Clock::now();
                idle = false;
                continue;
            }
            if (Clock::now() - progress > kStallLimit) return false;
            // A device that wakes its writer without taking anything is
            // given time instead of polled again at once.
            WaitForDevice(idle ? 10 : kPollLimitMs, idle);
            idle = true;
        }
        return !reset;
    }

    bool WaitPlayed(uint64_t frames) override
    {
        auto progress = Clock::now();
        uint64_t last = PlayedFrames();
        while (!reset) {
            uint64_t target;
            {
                std::lock_guard hold(mutex);
                // Less than a block was written: start it by hand.
                if (snd_pcm_state(pcm.get()) == SND_PCM_STATE_PREPARED && written > 0) snd_pcm_start(pcm.get());
                target = std::min(frames, written);
            }
            const uint64_t now = PlayedFrames();
            if (now >= target) return true;
            if (now != last) {
                last = now;
                progress = Clock::now();
            } else if (Clock::now() - progress > kStallLimit) {
                return false;
            }
            // Sleep for what is left to hear; only a reset ends the sleep early.
            const uint64_t left = (target - now) * 1000 / rate + 1;
            WaitForDevice(static_cast<int>(std::min<uint64_t>(left, kPollLimitMs)), true);
        }
        return false;
    }

    uint64_t PlayedFrames() override
    {
        std::lock_guard hold(mutex);
        if (reset) return played;
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_state(pcm.get()) == SND_PCM_STATE_XRUN)
            played = written; // it ran dry: everything written was heard
        else if (snd_pcm_delay(pcm.get(), &delay) == 0)
            played = std::max(played, written - std::min<uint64_t>(written, static_cast<uint64_t>(std::max<snd_pcm_sframes_t>(delay, 0))));
        return played;
    }

    void Reset() override
    {
        PlayedFrames();
        reset = true;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t signalled = ::write(wakeFd, &one, sizeof one);
        std::lock_guard hold(mutex);
        snd_pcm_drop(pcm.get());
    }

private:
    // Waits until the device has room (or, with wakeOnly, for the time
    // given), or until Reset signals.
    void WaitForDevice(int milliseconds, bool wakeOnly)
    {
        std::vector<pollfd> fds;
        if (!wakeOnly) fds = deviceFds;
        fds.push_back({wakeFd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), milliseconds) <= 0 || wakeOnly) return;
        // The device's own poll descriptors need translating (plugins use them).
        std::lock_guard hold(mutex);
        unsigned short events = 0;
        snd_pcm_poll_descriptors_revents(pcm.get(), fds.data(), static_cast<unsigned>(deviceFds.size()), &events);
    }

    const Pcm pcm;
    const int wakeFd;
    const uint32_t frameBytes;
    const uint32_t rate;
    std::vector<pollfd> deviceFds;
    std::atomic<bool> reset{false};
    std::mutex mutex;      // every call on the pcm
    uint64_t written = 0;  // frames the device has taken
    uint64_t played = 0;   // the position last read, never going back
};

} // namespace

std::unique_ptr<WaveOutput> OpenAlsaOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsa); });
    snd_pcm_t* opened = nullptr;
    if (snd_pcm_open(&opened, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    Pcm pcm(opened);
    if (!Configure(pcm.get(), format, blockFrames, blockCount)) return nullptr;
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) return nullptr;
    return std::make_unique<DeviceOutput>(std::move(pcm), wakeFd, format);
}

} // namespace vellum::platform
