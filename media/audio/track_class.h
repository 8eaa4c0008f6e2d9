// The Track script class and the native object tied to its tables.
#pragma once

#include "engine/core/gc_object.h"
#include "media/audio/track.h"

#include <memory>
#include <utility>

namespace vellum {
class Interpreter;
}

namespace vellum::media {

// Shares its track with the mixers that list it, so the track outlives
// whichever of them the collector frees first.
class TrackObject final : public GcObject {
public:
    explicit TrackObject(std::shared_ptr<Track> track) : track(std::move(track)) {}
    const std::shared_ptr<Track>& Get() const { return track; }

private:
    std::shared_ptr<Track> track;
};

void RegisterTrackClass(Interpreter& ip);

} // namespace vellum::media
