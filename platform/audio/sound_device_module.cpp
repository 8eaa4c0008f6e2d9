// The sound module's entry.
#include "platform/audio/sound_device_module.h"

#include "platform/modules/loadable_module.h"

namespace {

constexpr vellum::platform::SoundDeviceModule kModule{vellum::platform::OpenAlsaOutput,
                                                      vellum::platform::OpenAlsaInput};

} // namespace

VELLUM_MODULE_ENTRY(vellum_sound_module)
{
    return &kModule;
}
