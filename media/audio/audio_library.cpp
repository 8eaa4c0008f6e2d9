#include "media/audio/audio_library.h"

#include "engine/vm/interpreter.h"
#include "media/audio/mixer_class.h"
#include "media/audio/track_class.h"

namespace vellum::media {

void RegisterAudioClasses(Interpreter& ip)
{
    RegisterMixerClass(ip);
    RegisterTrackClass(ip);
}

bool WholeNumberArg(Interpreter& ip, int i, int32_t& out)
{
    if (Interpreter::ValueToInt(ip.ArgValue(i), out)) return true;
    ip.RaiseError(errNumberExpected);
    return false;
}

} // namespace vellum::media
