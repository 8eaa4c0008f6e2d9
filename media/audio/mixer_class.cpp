// Mixer: a table tied to its mixer, with its output player in "pPlayer". Both native objects share the player, so neither can be left
// pointing at a freed one whichever the collector frees first, and the
// mixer stops it before it goes.
#include "media/audio/mixer_class.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "media/audio/audio_library.h"
#include "media/audio/mixer.h"
#include "media/audio/track_class.h"

#include <memory>

namespace vellum::media {

namespace {

class PlayerObject final : public GcObject {
public:
    explicit PlayerObject(std::shared_ptr<platform::OutputPlayer> player) : player(std::move(player)) {}

private:
    std::shared_ptr<platform::OutputPlayer> player;
};

Mixer* ThisMixer(Interpreter& ip) { return ThisNative<Mixer>(ip); }

uint32_t Default(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    auto player = std::make_shared<platform::OutputPlayer>();
    TableObject* object = ip.NewTable();
    SetParent(ip, object, ip.ArgValue(0));
    ip.TableSet(object, u"pPlayer", Value::Pointer(ip.Make<PlayerObject>(player)));
    AttachNative(ip, object, ip.Make<Mixer>(std::move(player)));
    ip.PushValue(Value::Table(object));
    return 1;
}

// A table without a track, and a track past the last place, are not added.
uint32_t Add(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* table = ip.ArgTable(1);
    if (table == nullptr) return 0;
    auto* track = NativeOf<TrackObject>(ip, table);
    Mixer* mixer = ThisMixer(ip);
    if (track != nullptr && mixer != nullptr) mixer->Add(track->Get(), track);
    return 0;
}

uint32_t Start(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (Mixer* mixer = ThisMixer(ip)) mixer->Start();
    return 0;
}

uint32_t Stop(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (Mixer* mixer = ThisMixer(ip)) mixer->Stop();
    return 0;
}

uint32_t CurrPos(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    Mixer* mixer = ThisMixer(ip);
    if (mixer == nullptr) return 0;
    ip.PushNumber(static_cast<double>(mixer->CurrPos()));
    return 1;
}

uint32_t SetBPM(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    int32_t bpm = 0;
    if (!WholeNumberArg(ip, 1, bpm)) return 0;
    if (Mixer* mixer = ThisMixer(ip)) mixer->SetBpm(bpm);
    return 0;
}

uint32_t SetVolume(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    int32_t volume = 0;
    if (!WholeNumberArg(ip, 1, volume)) return 0;
    if (Mixer* mixer = ThisMixer(ip)) mixer->SetVolume(volume);
    return 0;
}

constexpr ClassMethod kMixerMethods[] = {
    {u"Default", Default}, {u"Add", Add},       {u"Start", Start},         {u"Stop", Stop},
    {u"CurrPos", CurrPos}, {u"SetBPM", SetBPM}, {u"SetVolume", SetVolume},
};

} // namespace

void RegisterMixerClass(Interpreter& ip)
{
    DefineClass(ip, u"Mixer", kMixerMethods);
}

} // namespace vellum::media
