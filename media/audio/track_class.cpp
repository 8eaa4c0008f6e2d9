// Track: a sound loaded from a WAV file with its pattern and volume. A file
// that cannot be loaded is reported in the error box at once and the
// script goes on with a silent track.
#include "media/audio/track_class.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "media/audio/audio_library.h"
#include "media/audio/mixer.h"
#include "platform/audio/wave_file.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vellum::media {

namespace {

// Loads the sound a script path names. Reporting runs the error box, which
// may run scripts: callers hold nothing collectable across it unrooted.
Track::Samples LoadSound(Interpreter& ip, const std::u16string& path)
{
    std::vector<int32_t> samples;
    platform::WaveReadResult result = platform::WaveReadResult::NotFound;
    if (const auto host = ip.Paths().HostPath(path)) result = platform::ReadWaveFile(*host, samples);
    if (result != platform::WaveReadResult::Ok) {
        ip.RaiseError(result == platform::WaveReadResult::NotFound ? errFileNotFound : errInvalidFileFormat, path);
        ip.ReportError();
        return Track::Silence();
    }
    return std::make_shared<const std::vector<int32_t>>(std::move(samples));
}

// The flags of a pattern table: its length is the explicit one when given,
// else one more than its largest number key; flag i is on exactly when the
// entry under i is true. Lengths are kept within 1 .. the sequencer's step
// count: steps never reach a flag beyond it.
std::vector<bool> PatternFlags(const Value& table, const Value& explicitLength)
{
    double length = 0;
    if (explicitLength.IsNum()) {
        length = std::trunc(explicitLength.num);
    } else if (table.IsTable()) {
        length = table.table->MaxNumericKey() + 1;
    }
    const auto count = static_cast<size_t>(std::clamp(std::isnan(length) ? 1.0 : length, 1.0,
                                                      static_cast<double>(Mixer::kStepCount)));
    std::vector<bool> flags(count);
    if (!table.IsTable()) return flags;
    for (size_t i = 0; i < count; ++i) flags[i] = table.table->Get(Value::Number(static_cast<double>(i))).IsTrue();
    return flags;
}

std::shared_ptr<Track> ThisTrack(Interpreter& ip)
{
    auto* object = ThisNative<TrackObject>(ip);
    return object != nullptr ? object->Get() : nullptr;
}

uint32_t Default(Interpreter& ip)
{
    if (!ip.CheckArgs(2, 3)) return 0;
    const ValueRoot parent(ip, ip.ArgValue(0));
    const std::u16string path(ip.ArgText(1)->Utf16());
    const std::vector<bool> flags = PatternFlags(ip.ArgValue(2), ip.ArgValue(3));
    Track::Samples sound = LoadSound(ip, path);

    TableObject* object = ip.NewTable();
    auto track = std::make_shared<Track>(path, std::move(sound), flags);
    BindNative(ip, object, parent.value, ip.Make<TrackObject>(std::move(track)));
    ip.PushValue(Value::Table(object));
    return 1;
}

uint32_t SetAt(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    int32_t index = 0;
    if (!WholeNumberArg(ip, 1, index)) return 0;
    if (const auto track = ThisTrack(ip)) track->SetAt(index, ip.ArgValue(2).IsTrue());
    return 0;
}

uint32_t SetVolume(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    int32_t volume = 0;
    if (!WholeNumberArg(ip, 1, volume)) return 0;
    if (const auto track = ThisTrack(ip)) track->SetVolume(volume);
    return 0;
}

uint32_t SetFile(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    // The track is held by its own reference, so the error box may run scripts.
    const std::shared_ptr<Track> track = ThisTrack(ip);
    if (!track) return 0;
    std::u16string path(ip.ArgText(1)->Utf16());
    Track::Samples sound = LoadSound(ip, path);
    track->SetSound(std::move(path), std::move(sound));
    return 0;
}

constexpr ClassMethod kTrackMethods[] = {
    {u"Default", Default}, {u"SetAt", SetAt}, {u"SetVolume", SetVolume}, {u"SetFile", SetFile}};

} // namespace

void RegisterTrackClass(Interpreter& ip)
{
    DefineClass(ip, u"Track", kTrackMethods);
}

} // namespace vellum::media
