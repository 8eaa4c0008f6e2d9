// The mixer's fill callback, called directly over several buffers: where
// steps begin inside a buffer, the integer arithmetic of the volumes, the
// clip, voices that outlive their step, the wrap of the step counter, and
// sounds replaced while they play.
#include "audio/wave_bytes.h"
#include "media/audio/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace vellum::test {
namespace {

using media::Mixer;
using media::Track;

Track::Samples Sound(std::vector<int32_t> samples)
{
    return std::make_shared<const std::vector<int32_t>>(std::move(samples));
}

std::shared_ptr<Track> NewTrack(Track::Samples sound, std::vector<bool> pattern = {true})
{
    return std::make_shared<Track>(u"\\t.wav", std::move(sound), pattern);
}

// A mixer of its own for these tracks; 44100 × 60 / 100 bpm is 100 samples a step.
std::unique_ptr<Mixer> MixerOf(std::initializer_list<std::shared_ptr<Track>> tracks, int32_t volume = 100,
                               int32_t bpm = 120)
{
    auto mixer = std::make_unique<Mixer>(std::make_shared<platform::OutputPlayer>());
    for (const auto& track : tracks) EXPECT_TRUE(mixer->Add(track, nullptr));
    mixer->SetVolume(volume);
    mixer->SetBpm(bpm);
    return mixer;
}

// The next count samples of the mix, made in buffers of bufferSize.
std::vector<int16_t> Render(Mixer& mixer, size_t count, size_t bufferSize = 5000)
{
    std::vector<int16_t> out(count, 12345);
    for (size_t i = 0; i < count; i += bufferSize)
        mixer.Fill(std::span<int16_t>(out).subspan(i, std::min(bufferSize, count - i)));
    return out;
}

// The indices of the samples that are not silent.
std::vector<size_t> Sounding(const std::vector<int16_t>& mix)
{
    std::vector<size_t> at;
    for (size_t i = 0; i < mix.size(); ++i) {
        if (mix[i] != 0) at.push_back(i);
    }
    return at;
}

TEST(MixerTest, StepsBeginWhereTheTempoAndTheWrappingCounterPutThem)
{
    Mixer mixer(std::make_shared<platform::OutputPlayer>());
    ASSERT_TRUE(mixer.Add(NewTrack(Sound({10000})), nullptr));
    // 120 bpm: a step every 22 050 samples, the first at once; the default
    // volumes play the click at 80 %.
    std::vector<int16_t> mix = Render(mixer, 70000);
    EXPECT_EQ(Sounding(mix), (std::vector<size_t>{0, 22050, 44100, 66150}));
    EXPECT_EQ(mix[22050], 8000);

    mixer.SeekStep(0);
    mixer.SetBpm(100);
    EXPECT_EQ(mixer.SamplesPerStep(), 26460);
    EXPECT_EQ(Sounding(Render(mixer, 60000)), (std::vector<size_t>{0, 26460, 52920}));

    // A new tempo leaves the running step as long as it was.
    mixer.SeekStep(0);
    mixer.SetBpm(120);
    mix = Render(mixer, 10000);
    mixer.SetBpm(100);
    const std::vector<int16_t> rest = Render(mixer, 50000);
    mix.insert(mix.end(), rest.begin(), rest.end());
    EXPECT_EQ(Sounding(mix), (std::vector<size_t>{0, 22050, 22050 + 26460}));

    // Tempos of zero and below are ignored; an absurd one still moves a
    // sample per step.
    mixer.SetBpm(0);
    mixer.SetBpm(-40);
    EXPECT_EQ(mixer.SamplesPerStep(), 26460);
    mixer.SetBpm(2147483647);
    EXPECT_EQ(mixer.SamplesPerStep(), 1);
    mixer.SeekStep(0);
    EXPECT_EQ(Sounding(Render(mixer, 5)), (std::vector<size_t>{0, 1, 2, 3, 4}));

    // The step counter wraps at 4620, 100 samples a step here. A pattern of
    // 8 does not divide it: after 4619 it jumps back to its first flag, half
    // a pattern early. One of 7 does and stays in phase. Steps given out of
    // range land inside the counter's range.
    const struct {
        size_t length;
        int32_t seek;
        std::vector<size_t> sounding;
    } wraps[] = {{8, 4616, {0, 400, 1200}}, {7, 4613, {0, 700, 1400}}, {7, -1, {100, 800}}};
    for (const auto& w : wraps) {
        std::vector<bool> pattern(w.length);
        pattern[0] = true;
        const auto wrapping = MixerOf({NewTrack(Sound({1000}), pattern)}, 100, 44100 * 60 / 100);
        wrapping->SeekStep(w.seek);
        EXPECT_EQ(Sounding(Render(*wrapping, 1500)), w.sounding) << w.length << " from " << w.seek;
    }
}

TEST(MixerTest, VolumesScaleWithTruncationTowardZeroAndTheSumClipsAtSixteenBits)
{
    const auto track = NewTrack(Sound({12345, -12345, 1, -1, 32767, -32768}));
    const auto mixer = MixerOf({track});
    // The defaults, 100 and 80, play at 80 %; 100 and 100 is unity gain; a
    // negative volume turns the sound over; louder clips at both ends, even
    // far louder than 32 bits can hold.
    const struct {
        int32_t track, mixer;
        std::vector<int16_t> mix;
    } volumes[] = {{37, 91, {4156, -4156, 0, 0, 11032, -11032}},
                   {100, 80, {9876, -9876, 0, 0, 26213, -26214}},
                   {100, 100, {12345, -12345, 1, -1, 32767, -32768}},
                   {-100, 100, {-12345, 12345, -1, 1, -32767, 32767}},
                   {200, 100, {24690, -24690, 2, -2, 32767, -32768}},
                   {2000000000, 2000000000, {32767, -32768, 32767, -32768, 32767, -32768}}};
    for (const auto& v : volumes) {
        track->SetVolume(v.track);
        mixer->SetVolume(v.mixer);
        mixer->SeekStep(0);
        EXPECT_EQ(Render(*mixer, 6), v.mix) << v.track << " " << v.mixer;
    }

    // Volumes are read while mixing: a voice already sounding follows a
    // change of its track's volume and of the mixer's.
    const auto held = NewTrack(Sound(std::vector<int32_t>(300, 1000)));
    const auto other = MixerOf({held});
    EXPECT_EQ(Render(*other, 100)[99], 1000);
    held->SetVolume(50);
    EXPECT_EQ(Render(*other, 100)[0], 500);
    other->SetVolume(10);
    EXPECT_EQ(Render(*other, 100)[0], 50);

    // The clip is of the sum, not of each voice.
    const auto both = MixerOf({NewTrack(Sound({30000, -30000, 20000})), NewTrack(Sound({30000, -30000, -20000}))});
    EXPECT_EQ(Render(*both, 3), (std::vector<int16_t>{32767, -32768, 0}));
}

TEST(MixerTest, VoicesOutliveTheirStepAnyBufferingAndTheirTracksSound)
{
    std::vector<int32_t> ramp(250);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int32_t>(i);
    const auto mixer = MixerOf({NewTrack(Sound(ramp))}, 100, 44100 * 60 / 100);
    ASSERT_EQ(mixer->SamplesPerStep(), 100);

    // Every step starts a copy, and each copy sounds for two and a half
    // steps, so up to three overlap.
    const std::vector<int16_t> mix = Render(*mixer, 1000);
    for (size_t k = 0; k < mix.size(); ++k) {
        int32_t expected = 0;
        for (size_t start = 0; start <= k; start += 100) {
            if (k - start < 250) expected += static_cast<int32_t>(k - start);
        }
        ASSERT_EQ(mix[k], expected) << k;
    }
    EXPECT_EQ(mixer->VoiceCount(), 2u); // the copies started at 800 and 900

    // The same scene in buffers of any size mixes to the same samples.
    for (size_t size : {1u, 99u, 777u})
        EXPECT_EQ(Render(*MixerOf({NewTrack(Sound(ramp))}, 100, 44100 * 60 / 100), 1000, size), mix) << size;

    // A track without a sound (none given is silence) starts voices that end at once.
    const auto silent = MixerOf({NewTrack(nullptr)});
    EXPECT_TRUE(Sounding(Render(*silent, 5000)).empty());
    EXPECT_EQ(silent->VoiceCount(), 0u);

    // A sound replaced while it plays: the track lets go of it, the voice
    // alone still holds it; the next step plays the new one.
    const auto track = NewTrack(Sound(std::vector<int32_t>(300, 100)));
    const auto replaced = MixerOf({track}, 100, 44100 * 60 / 1000); // 1000 samples a step
    std::vector<int16_t> played = Render(*replaced, 100);
    track->SetSound(u"\\b.wav", Sound(std::vector<int32_t>(300, 200)));
    EXPECT_EQ(track->Path(), u"\\b.wav");
    const std::vector<int16_t> rest = Render(*replaced, 1200);
    played.insert(played.end(), rest.begin(), rest.end());
    std::vector<int16_t> expected(1300, 0);
    std::fill_n(expected.begin(), 300, 100);
    std::fill_n(expected.begin() + 1000, 300, 200);
    EXPECT_EQ(played, expected);
}

TEST(MixerTest, ListsAndVoicesStayWithinTheirBounds)
{
    const auto track = NewTrack(Sound({1}));
    const auto full = MixerOf({});
    for (size_t i = 0; i < Mixer::kMaxTracks; ++i) ASSERT_TRUE(full->Add(track, nullptr));
    EXPECT_FALSE(full->Add(track, nullptr));

    // Long sounds at one sample a step: the voices stop growing at their limit.
    const auto busy = MixerOf({NewTrack(Sound(std::vector<int32_t>(100000, 2)))}, 100, 2147483647);
    for (int i = 0; i < 3; ++i) Render(*busy, 5000);
    EXPECT_EQ(Render(*busy, 5000).back(), 32767);
    EXPECT_EQ(busy->VoiceCount(), Mixer::kMaxVoices);
}

// The script thread changes tracks, patterns, volumes, sounds and tempo
// while the playback thread mixes into the WAV-file output, and stops and
// starts again in between; run under ThreadSanitizer once.
TEST(MixerThreadsTest, ChangesWhilePlaying)
{
    const RecordingFile recording;
    auto mixer = MixerOf({}, 100, 6000);
    std::vector<std::shared_ptr<Track>> tracks;
    mixer->Start();
    for (int round = 0; round < 400; ++round) {
        if (tracks.size() < 40) {
            tracks.push_back(NewTrack(Sound(std::vector<int32_t>(3000, round)), {true, false, true}));
            mixer->Add(tracks.back(), nullptr);
        }
        Track& track = *tracks[static_cast<size_t>(round) % tracks.size()];
        track.SetAt(round % 3, round % 2 == 0);
        track.SetVolume(round % 150);
        track.SetSound(u"\\r.wav", Sound(std::vector<int32_t>(static_cast<size_t>(round % 7) * 500, 7)));
        mixer->SetVolume(round % 120);
        mixer->SetBpm(1000 + round * 10);
        (void)mixer->CurrPos();
        if (round % 100 == 99) mixer->Start();
        if (round % 150 == 149) mixer->Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Tracks released by the test while the mixer still plays them.
    tracks.clear();
    mixer->Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    mixer.reset(); // the mixer stops as it goes, before the recording ends
}

} // namespace
} // namespace vellum::test
