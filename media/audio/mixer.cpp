#include "media/audio/mixer.h"

#include "engine/core/collector.h"

#include <algorithm>
#include <utility>

namespace vellum::media {

namespace {

int32_t StepLength(int32_t bpm)
{
    // At least one sample, so that a step always moves the fill forward.
    return std::max<int32_t>(1, static_cast<int32_t>(platform::OutputPlayer::kSampleRate * 60 / static_cast<uint32_t>(bpm)));
}

} // namespace

Mixer::Mixer(std::shared_ptr<platform::OutputPlayer> outputPlayer)
    : player(std::move(outputPlayer)), samplesPerStep(StepLength(kDefaultBpm))
{
    tracks.reserve(kMaxTracks);
}

Mixer::~Mixer() { Stop(); }

void Mixer::Mark(Collector& collector)
{
    for (const Entry& entry : tracks) collector.MarkObject(entry.owner);
}

bool Mixer::Add(std::shared_ptr<Track> track, GcObject* owner)
{
    const std::lock_guard guard(lock);
    if (tracks.size() >= kMaxTracks) return false;
    tracks.push_back({std::move(track), owner});
    return true;
}

void Mixer::Start()
{
    player->Stop();
    SeekStep(0);
    player->Start([this](std::span<int16_t> out) { Fill(out); });
}

void Mixer::Stop() { player->Stop(); }

uint64_t Mixer::CurrPos() const { return player->PlayedSamples() / static_cast<uint64_t>(SamplesPerStep()); }

void Mixer::SetBpm(int32_t bpm)
{
    if (bpm <= 0) return;
    const std::lock_guard guard(lock);
    samplesPerStep = StepLength(bpm);
}

void Mixer::SetVolume(int32_t v)
{
    volume.store(std::clamp(v, -Track::kMaxVolume, Track::kMaxVolume), std::memory_order_relaxed);
}

void Mixer::SeekStep(int32_t newStep)
{
    const std::lock_guard guard(lock);
    step = ((newStep % kStepCount) + kStepCount) % kStepCount;
    countdown = 0;
}

int32_t Mixer::SamplesPerStep() const
{
    const std::lock_guard guard(lock);
    return samplesPerStep;
}

void Mixer::Fill(std::span<int16_t> out)
{
    const size_t n = out.size();
    if (accumulator.size() < n) {
        accumulator.assign(n, 0);
    } else {
        std::fill_n(accumulator.begin(), n, 0);
    }
    for (size_t i = 0; i < n;) {
        size_t chunk;
        {
            const std::lock_guard guard(lock);
            if (countdown == 0) {
                RunStep();
                countdown = samplesPerStep;
            }
            chunk = std::min(n - i, static_cast<size_t>(countdown));
            countdown -= static_cast<int32_t>(chunk);
        }
        MixVoices(i, chunk);
        i += chunk;
    }
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<int16_t>(std::clamp<int64_t>(accumulator[i], -32768, 32767));
}

void Mixer::RunStep()
{
    for (const Entry& entry : tracks) {
        if (Track::Samples sound = entry.track->SoundAt(step)) StartVoice(std::move(sound), entry.track);
    }
    step = (step + 1) % kStepCount;
}

void Mixer::StartVoice(Track::Samples sound, std::shared_ptr<const Track> track)
{
    if (voices.size() >= kMaxVoices) return;
    if (voices.size() == voices.capacity()) {
        // Exactly what is needed the first time, then by an eighth of the
        // count, at least 4 and at most 1024 voices at a time.
        const size_t needed = voices.size() + 1;
        const size_t grow = std::clamp<size_t>(voices.size() / 8, 4, 1024);
        voices.reserve(voices.capacity() == 0 ? needed : std::max(needed, voices.capacity() + grow));
    }
    voices.push_back({0, std::move(sound), std::move(track)});
}

void Mixer::MixVoices(size_t begin, size_t count)
{
    const int64_t mixerVolume = volume.load(std::memory_order_relaxed);
    int64_t* const acc = accumulator.data() + begin;
    // From the last voice to the first, so that removing a finished one
    // moves only voices already mixed.
    for (size_t v = voices.size(); v-- > 0;) {
        Voice& voice = voices[v];
        const std::vector<int32_t>& samples = *voice.sound;
        const int64_t gain = voice.track->Volume() * mixerVolume;
        const size_t take = std::min(count, samples.size() - voice.position);
        const int32_t* const from = samples.data() + voice.position;
        // Truncated toward zero, as integer division does.
        for (size_t k = 0; k < take; ++k) acc[k] += from[k] * gain / 10000;
        voice.position += take;
        if (voice.position == samples.size()) voices.erase(voices.begin() + static_cast<std::ptrdiff_t>(v));
    }
}

} // namespace vellum::media
