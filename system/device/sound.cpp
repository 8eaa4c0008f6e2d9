// Beep and PlaySound: one sound at a time through a player of the process's
// own, as the device's sound service plays one at a time. A new sound (or
// PlaySound without a file) ends the one playing; a sound ends its player
// by itself once it has been heard, which frees the output for the mixer.
// Without an output, or with a file that cannot be read, nothing plays and
// nothing is reported.
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "platform/audio/output_player.h"
#include "platform/audio/wave_file.h"
#include "system/natives.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace vellum::system {
namespace {

platform::OutputPlayer& SoundPlayer()
{
    static platform::OutputPlayer player;
    return player;
}

// 150 ms of 880 Hz at a quarter of full scale, faded in and out over 5 ms
// so that it starts and ends without a click.
std::vector<int32_t> BeepTone()
{
    constexpr double kRate = platform::OutputPlayer::kSampleRate;
    constexpr size_t kLength = static_cast<size_t>(kRate * 0.150);
    constexpr double kFade = kRate * 0.005;
    std::vector<int32_t> tone(kLength);
    for (size_t i = 0; i < kLength; ++i) {
        const double edge = std::min<double>(i, kLength - 1 - i);
        const double gain = std::min(1.0, edge / kFade);
        tone[i] = static_cast<int32_t>(std::lround(8192.0 * gain * std::sin(2 * std::numbers::pi * 880.0 * i / kRate)));
    }
    return tone;
}

} // namespace

uint32_t Beep(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    platform::PlayOnce(SoundPlayer(), BeepTone());
    return 0;
}

// With a file name, plays it without waiting; without one, stops the sound.
uint32_t PlaySound(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    std::vector<int32_t> samples;
    // Any value names the file by its text, as every native takes strings.
    if (ip.ArgCount() - 1 == 1) {
        const auto file = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
        if (!file || platform::ReadWaveFile(*file, samples) != platform::WaveReadResult::Ok) samples.clear();
    }
    platform::PlayOnce(SoundPlayer(), std::move(samples));
    return 0;
}

} // namespace vellum::system
