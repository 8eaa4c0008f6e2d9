// The output player's engine: the wave output, a ring of four buffers and
// the playback thread that fills and queues them in turn. Before it fills a
// buffer again the thread waits until the output has played it, so the
// output always has up to four buffers queued and the fill runs about that
// far ahead of what is heard.
//
// The thread never holds the engine lock while it fills or waits: Stop can
// always reset the output, which ends any wait at once, and then join. The
// lock guards only what both threads read: the output (the thread closes it
// when it leaves) and the positions at which the queued buffers end.
#include "platform/audio/output_player.h"

#include "platform/audio/wave_output.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vellum::platform {
namespace {

constexpr size_t kBufferSamples = OutputPlayer::kBufferBytes / sizeof(int16_t);
constexpr uint64_t kEndless = std::numeric_limits<uint64_t>::max();
static_assert(std::endian::native == std::endian::little, "the output takes samples as little-endian bytes");

} // namespace

struct OutputPlayer::Engine {
    Engine(std::unique_ptr<platform::WaveOutput> opened, Fill fill, uint64_t length)
        : fill(std::move(fill)), length(length), output(std::move(opened))
    {
        for (auto& buffer : ring) buffer.resize(kBufferSamples);
        thread = std::thread([this] { Run(); });
    }

    void Run();

    const Fill fill;
    const uint64_t length; // samples to play, or kEndless
    std::array<std::vector<int16_t>, kBufferCount> ring;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};

    mutable std::mutex lock;
    std::unique_ptr<platform::WaveOutput> output; // null once the thread has closed it
    struct Queued {
        uint64_t end = 0; // the position at which the buffer has been heard
        size_t bytes = 0;
    };
    std::array<Queued, kBufferCount> queued{};
    uint64_t closedAt = 0;                        // the position when the output closed

    std::thread thread; // last: it starts when everything above is made
};

void OutputPlayer::Engine::Run()
{
    size_t current = 0;
    uint64_t handedOut = 0;
    bool heardAll = false;
    while (!stop) {
        std::vector<int16_t>& buffer = ring[current];
        // The oldest buffer is taken again once it has been played.
        if (!output->WaitPlayed(queued[current].end) || stop) break;
        if (handedOut == length) {
            heardAll = output->WaitPlayed(handedOut);
            break;
        }
        fill(buffer);
        const size_t count = static_cast<size_t>(std::min<uint64_t>(buffer.size(), length - handedOut));
        const size_t bytes = count * sizeof(int16_t);
        if (!output->Write({reinterpret_cast<const uint8_t*>(buffer.data()), bytes})) break;
        handedOut += count;
        {
            std::lock_guard hold(lock);
            queued[current] = {handedOut, bytes};
        }
        current = (current + 1) % kBufferCount;
    }
    std::lock_guard hold(lock);
    closedAt = output->PlayedFrames();
    if (heardAll) closedAt = std::max(closedAt, handedOut);
    output.reset();
    finished = true;
}

OutputPlayer::OutputPlayer() = default;

OutputPlayer::~OutputPlayer() { Stop(); }

void OutputPlayer::Start(Fill fill) { Start(std::move(fill), kEndless); }

void OutputPlayer::Start(Fill fill, uint64_t samples)
{
    Stop();
    const platform::WaveFormat format{kSampleRate, kChannels, kBitsPerSample};
    auto output = platform::OpenWaveOutput(format, kBufferSamples, kBufferCount);
    if (!output) return; // no output: nothing plays and no thread runs
    engine = std::make_unique<Engine>(std::move(output), std::move(fill), samples);
}

void OutputPlayer::Stop()
{
    if (!engine) return;
    engine->stop = true;
    {
        std::lock_guard hold(engine->lock);
        if (engine->output) engine->output->Reset();
    }
    engine->thread.join();
    engine.reset();
}

bool OutputPlayer::Playing() const { return engine && !engine->finished; }

uint64_t OutputPlayer::PlayedSamples() const
{
    if (!engine) return 0;
    std::lock_guard hold(engine->lock);
    return engine->output ? engine->output->PlayedFrames() : engine->closedAt;
}

size_t OutputPlayer::BytesQueued() const
{
    if (!engine) return 0;
    std::lock_guard hold(engine->lock);
    if (!engine->output) return 0;
    const uint64_t played = engine->output->PlayedFrames();
    size_t bytes = 0;
    for (const auto& buffer : engine->queued)
        if (buffer.end > played) bytes += buffer.bytes;
    return bytes;
}

void PlayOnce(OutputPlayer& player, std::vector<int32_t> samples)
{
    player.Stop();
    if (samples.empty()) return;
    const auto sound = std::make_shared<const std::vector<int32_t>>(std::move(samples));
    const uint64_t length = sound->size();
    size_t next = 0;
    player.Start(
        [sound, next](std::span<int16_t> out) mutable {
            const size_t count = std::min(out.size(), sound->size() - next);
            for (size_t i = 0; i < count; ++i)
                out[i] = static_cast<int16_t>(std::clamp<int32_t>((*sound)[next + i], -32768, 32767));
            std::fill(out.begin() + static_cast<ptrdiff_t>(count), out.end(), int16_t{0});
            next += count;
        },
        length);
}

} // namespace vellum::platform
