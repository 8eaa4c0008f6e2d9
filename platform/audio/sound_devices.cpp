// The sound device as the rest of the program opens it: through the sound
// module, loaded by the first open. Without the module there is no device.
#include "platform/audio/sound_device_module.h"
#include "platform/audio/wave_output_backends.h"
#include "platform/modules/loadable_module.h"

namespace vellum::platform {

namespace {

const SoundDeviceModule* SoundModule()
{
    static const auto* const module = LoadModule<SoundDeviceModule>(kSoundModuleFile, kSoundModuleEntry);
    return module;
}

} // namespace

std::unique_ptr<WaveOutput> OpenDeviceOutput(const WaveFormat& format, uint32_t blockFrames, uint32_t blockCount)
{
    const SoundDeviceModule* module = SoundModule();
    return module != nullptr ? module->openOutput(format, blockFrames, blockCount) : nullptr;
}

std::unique_ptr<WaveInput> OpenDeviceInput(uint32_t sampleRate)
{
    const SoundDeviceModule* module = SoundModule();
    return module != nullptr ? module->openInput(sampleRate) : nullptr;
}

} // namespace vellum::platform
