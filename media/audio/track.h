// A track: one sound with an on/off pattern over the sequencer's steps and
// a volume. The script thread changes it while the playback thread reads
// it, so the pattern flags and the volume are atomics (plain stores and
// loads, no ordering), and the lock guards the step's lookup of the pattern
// and the sound together.
//
// Sounds are shared, never copied: a voice that started a sound keeps it,
// so replacing the track's sound does not free samples still being played.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellum::media {

class Track {
public:
    using Samples = std::shared_ptr<const std::vector<int32_t>>;

    static constexpr int32_t kDefaultVolume = 100;
    // Volumes beyond this are taken as this, so that a sample times both
    // volumes always fits the mixer's arithmetic.
    static constexpr int32_t kMaxVolume = 1000000;

    // pattern gives one flag per step; an empty pattern is one step, off.
    Track(std::u16string path, Samples sound, const std::vector<bool>& pattern);
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;

    // --- the script thread ---------------------------------------------------
    const std::u16string& Path() const { return path; }
    int32_t PatternLength() const { return static_cast<int32_t>(pattern.size()); }
    // Indices outside 0 .. length − 1 change nothing.
    void SetAt(int64_t index, bool on);
    void SetVolume(int32_t volume);
    // Voices already sounding keep the sound they started with.
    void SetSound(std::u16string newPath, Samples sound);

    // --- the playback thread -------------------------------------------------
    // The sound to start at this sequencer step (step ≥ 0), or null when
    // the pattern is off there.
    Samples SoundAt(int32_t step) const;
    int32_t Volume() const { return volume.load(std::memory_order_relaxed); }

    // A shared empty sound, for tracks whose file could not be loaded.
    static Samples Silence();

private:
    std::u16string path;
    mutable std::mutex lock;
    Samples sound;                        // guarded by lock
    std::vector<std::atomic<bool>> pattern; // never resized after construction
    std::atomic<int32_t> volume{kDefaultVolume};
};

} // namespace vellum::media
