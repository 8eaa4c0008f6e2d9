// CPU time of the mixer's fill callback: one minute of audio in the
// player's 5000-sample buffers with 16 and with 64 voices sounding
// throughout, printed as a fraction of the minute (1.0 is the real-time
// limit). The fill runs on this thread, so the process's CPU time is its own.
#include "media/audio/mixer.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using vellum::media::Mixer;
using vellum::platform::OutputPlayer;
using vellum::media::Track;

constexpr size_t kMinute = size_t{OutputPlayer::kSampleRate} * 60;
constexpr size_t kBufferSamples = OutputPlayer::kBufferBytes / sizeof(int16_t);

double MixMinute(int voices)
{
    Mixer mixer(std::make_shared<OutputPlayer>());
    // Sounds longer than the minute, each started once, at step 0.
    std::vector<bool> pattern(Mixer::kStepCount);
    pattern[0] = true;
    for (int v = 0; v < voices; ++v) {
        std::vector<int32_t> sound(kMinute + kBufferSamples);
        for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<int32_t>((i * (v + 3)) % 4001) - 2000;
        mixer.Add(std::make_shared<Track>(u"", std::make_shared<const std::vector<int32_t>>(std::move(sound)), pattern),
                  nullptr);
    }
    std::vector<int16_t> buffer(kBufferSamples);
    long long check = 0;
    const std::clock_t start = std::clock();
    for (size_t done = 0; done < kMinute; done += buffer.size()) {
        mixer.Fill(buffer);
        check += buffer[done % buffer.size()];
    }
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    if (mixer.VoiceCount() != static_cast<size_t>(voices)) std::fprintf(stderr, "voices ended early\n");
    std::fprintf(stderr, "check %lld\n", check);
    return seconds / 60.0;
}

} // namespace

int main()
{
    for (int voices : {16, 64}) std::printf("%d voices: %.5f of the minute\n", voices, MixMinute(voices));
    return 0;
}
