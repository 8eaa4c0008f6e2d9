// The mixer: a beat sequencer over tracks. At every step it starts a voice
// for each track whose pattern is on there, and its fill callback mixes
// every sounding voice into the player's 16-bit buffers, on the playback
// thread.
//
// The lock guards what both threads touch: the track list, the step, the
// countdown and the tempo. The voices and the accumulator belong to the
// playback thread alone (and to whoever calls Fill while nothing plays).
// Voices share their track and its sound, so neither is freed under them
// whatever the collector frees first; the mixer marks the native objects
// of its tracks as well, so a track it lists stays as long as it lives.
#pragma once

#include "engine/core/gc_object.h"
#include "platform/audio/output_player.h"
#include "media/audio/track.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace vellum::media {

class Mixer final : public GcObject {
public:
    static constexpr int32_t kStepCount = 4620;
    static constexpr size_t kMaxTracks = 256;
    // Beyond this many voices a step starts no more: an absurd tempo over
    // long sounds would otherwise grow the list without bound.
    static constexpr size_t kMaxVoices = 16384;
    static constexpr int32_t kDefaultBpm = 120;
    static constexpr int32_t kDefaultVolume = 80;

    explicit Mixer(std::shared_ptr<platform::OutputPlayer> player);
    ~Mixer() override; // stops playback first
    void Mark(Collector& collector) override;

    // --- the script thread ---------------------------------------------------
    // Appends a track (owner: its native object, kept alive while listed);
    // false when the list is full.
    bool Add(std::shared_ptr<Track> track, GcObject* owner);
    // Stops what plays and plays again from step 0.
    void Start();
    void Stop();
    // Played samples div samples per step.
    uint64_t CurrPos() const;
    // Tempos of 0 and below are ignored; a running countdown is not shortened.
    void SetBpm(int32_t bpm);
    void SetVolume(int32_t volume);
    // The step the next countdown starts from, at once.
    void SeekStep(int32_t step);
    int32_t SamplesPerStep() const;

    // --- the playback thread -------------------------------------------------
    // Fills every sample of the buffer with the mix.
    void Fill(std::span<int16_t> out);
    size_t VoiceCount() const { return voices.size(); }

private:
    struct Voice {
        size_t position;
        Track::Samples sound;
        std::shared_ptr<const Track> track; // for its volume, read at mixing time
    };
    struct Entry {
        std::shared_ptr<Track> track;
        GcObject* owner;
    };

    // Under the lock: starts the voices of this step and moves to the next.
    void RunStep();
    void StartVoice(Track::Samples sound, std::shared_ptr<const Track> track);
    // Adds every voice's next samples to accumulator[begin .. begin + count − 1].
    void MixVoices(size_t begin, size_t count);

    const std::shared_ptr<platform::OutputPlayer> player;

    mutable std::mutex lock;
    std::vector<Entry> tracks;  // guarded by lock
    int32_t step = 0;           // guarded by lock
    int32_t countdown = 0;      // guarded by lock
    int32_t samplesPerStep = 0; // guarded by lock

    std::atomic<int32_t> volume{kDefaultVolume};

    std::vector<Voice> voices;
    // Wider than a sample: many loud voices may sum past 32 bits before the
    // clip, and that sum must still clip the right way.
    std::vector<int64_t> accumulator;
};

} // namespace vellum::media
