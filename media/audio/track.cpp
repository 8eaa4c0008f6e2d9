#include "media/audio/track.h"

#include <algorithm>
#include <utility>

namespace vellum::media {

Track::Track(std::u16string path, Samples sound, const std::vector<bool>& flags)
    : path(std::move(path)), sound(sound ? std::move(sound) : Silence()), pattern(std::max<size_t>(flags.size(), 1))
{
    for (size_t i = 0; i < flags.size(); ++i) pattern[i].store(flags[i], std::memory_order_relaxed);
}

void Track::SetAt(int64_t index, bool on)
{
    if (index >= 0 && index < PatternLength()) pattern[static_cast<size_t>(index)].store(on, std::memory_order_relaxed);
}

void Track::SetVolume(int32_t v) { volume.store(std::clamp(v, -kMaxVolume, kMaxVolume), std::memory_order_relaxed); }

void Track::SetSound(std::u16string newPath, Samples newSound)
{
    path = std::move(newPath);
    Samples old;
    {
        const std::lock_guard guard(lock);
        old = std::exchange(sound, newSound ? std::move(newSound) : Silence());
    }
    // The old sound is released outside the lock, by whichever holder is last.
}

Track::Samples Track::SoundAt(int32_t step) const
{
    const std::lock_guard guard(lock);
    if (!pattern[static_cast<size_t>(step) % pattern.size()].load(std::memory_order_relaxed)) return nullptr;
    return sound;
}

Track::Samples Track::Silence()
{
    static const Samples none = std::make_shared<const std::vector<int32_t>>();
    return none;
}

} // namespace vellum::media
