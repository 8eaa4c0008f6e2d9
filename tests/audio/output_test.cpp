// The output player and the sounds of the system library, played into the
// WAV file that VELLUM_AUDIO_OUT names: what the file holds is what was
// heard, in order, and the position moves like a device's.
#include "audio/wave_bytes.h"
#include "platform/audio/output_player.h"
#include "system/system_harness.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace vellum::test {
namespace {

using Clock = std::chrono::steady_clock;
using platform::OutputPlayer;

constexpr uint64_t kBlock = OutputPlayer::kBufferBytes / 2;

int16_t Pattern(uint64_t i) { return static_cast<int16_t>(i * 7919 + 13); }

// The samples of a recording, after checking that its header describes
// exactly them in the output format (16-bit mono at 44.1 kHz).
std::vector<int16_t> Recording(const std::filesystem::path& file)
{
    const std::vector<uint8_t> b = ReadFile(file);
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44) return {};
    EXPECT_TRUE(b == WaveBytes(WaveHeader{}, {b.begin() + 44, b.end()})) << "a header that is not the format's";
    std::vector<int16_t> samples((b.size() - 44) / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(b[44 + 2 * i] | b[45 + 2 * i] << 8);
    return samples;
}

// True while an output records into the file (it holds the file's lock).
bool RecordingOpen(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return locked;
}

class OutputTest : public ::testing::Test {
protected:
    const RecordingFile recording;
    const std::filesystem::path& file = recording.path;
};

TEST_F(OutputTest, PlaybackRecordsTheFillInOrderAtTheDevicePace)
{
    std::atomic<uint64_t> handedOut{0};
    std::atomic<bool> stopped{false};
    std::atomic<bool> filledAfterStop{false};
    OutputPlayer player;
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.PlayedSamples(), 0u);

    const auto start = Clock::now();
    player.Start([&](std::span<int16_t> samples) {
        if (stopped) filledAfterStop = true;
        EXPECT_EQ(samples.size(), kBlock);
        for (int16_t& s : samples) s = Pattern(handedOut++);
    });
    ASSERT_TRUE(player.Playing());

    uint64_t last = 0;
    bool sawQueue = false;
    ASSERT_TRUE(Eventually([&] {
        const uint64_t ahead = handedOut;
        const uint64_t played = player.PlayedSamples();
        const size_t queued = player.BytesQueued();
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        // Never faster than real time, never backwards, never more than the
        // ring ahead of what is heard, never more than the ring queued.
        EXPECT_LE(played, elapsed * 44100 + 1);
        EXPECT_GE(played, last);
        EXPECT_LE(ahead, played + 4 * kBlock);
        EXPECT_LE(queued, 4 * OutputPlayer::kBufferBytes);
        EXPECT_EQ(queued % OutputPlayer::kBufferBytes, 0u);
        sawQueue = sawQueue || queued > 0;
        last = played;
        return played >= 5 * kBlock + 1234;
    }));
    EXPECT_TRUE(sawQueue);
    player.Stop();
    stopped = true;
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.PlayedSamples(), 0u);
    EXPECT_EQ(player.BytesQueued(), 0u);

    // The file holds what was heard up to the stop: a prefix of the fill.
    const std::vector<int16_t> heard = Recording(file);
    EXPECT_GE(heard.size(), last);
    EXPECT_LE(heard.size(), handedOut.load());
    for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], Pattern(i)) << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(filledAfterStop);
    EXPECT_FALSE(RecordingOpen(file));
}

TEST_F(OutputTest, ASoundOfGivenLengthEndsByItself)
{
    OutputPlayer player;
    uint64_t next = 0;
    player.Start(
        [&](std::span<int16_t> samples) {
            for (int16_t& s : samples) s = Pattern(next++);
        },
        2 * kBlock + 345);
    ASSERT_TRUE(Eventually([&] { return !player.Playing(); }));
    EXPECT_EQ(player.PlayedSamples(), 2 * kBlock + 345);
    EXPECT_EQ(next, 3 * kBlock); // whole buffers are filled, only the sound is written
    EXPECT_FALSE(RecordingOpen(file));
    const std::vector<int16_t> heard = Recording(file);
    ASSERT_EQ(heard.size(), 2 * kBlock + 345);
    for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], Pattern(i)) << i;
    player.Stop(); // joins the thread that has already left
    EXPECT_EQ(player.PlayedSamples(), 0u);
}

TEST_F(OutputTest, WithoutAnOutputNothingPlaysOrWaits)
{
    std::atomic<int> fills{0};
    auto fill = [&](std::span<int16_t> samples) {
        ++fills;
        std::fill(samples.begin(), samples.end(), int16_t{0});
    };
    // A recording that cannot be made: no fallback to a device, nothing plays.
    ::setenv("VELLUM_AUDIO_OUT", "/nonexistent-folder/out.wav", 1);
    OutputPlayer player;
    const auto before = Clock::now();
    player.Start(fill);
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.PlayedSamples(), 0u);
    EXPECT_EQ(player.BytesQueued(), 0u);
    player.Stop();
    player.Start(fill, 1000);
    EXPECT_FALSE(player.Playing());
    player.Stop();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(3));

    // The file is one output: while one player records, another cannot open it.
    ::setenv("VELLUM_AUDIO_OUT", file.c_str(), 1);
    player.Start(fill);
    ASSERT_TRUE(player.Playing());
    OutputPlayer second;
    second.Start(fill);
    EXPECT_FALSE(second.Playing());
    ASSERT_TRUE(Eventually([&] { return player.PlayedSamples() > 0; }));
    EXPECT_TRUE(RecordingOpen(file));
    player.Stop();
    second.Start(fill);
    EXPECT_TRUE(second.Playing());
    second.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const int total = fills;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(fills, total);
}

// PlaySound and Beep through scripts, recorded into the file.
class SoundTest : public SystemHarness {
protected:
    ~SoundTest() override { Run("PlaySound()"); }

    // A 16-bit stereo file at 44.1 kHz of these frames.
    static std::vector<uint8_t> StereoWave(const std::vector<std::pair<int16_t, int16_t>>& frames)
    {
        std::vector<int16_t> samples;
        for (const auto& [left, right] : frames) samples.insert(samples.end(), {left, right});
        return WaveBytes(WaveHeader{}.Channels(2), Pcm16(samples));
    }
    void WaitUntilPlayedOut() { ASSERT_TRUE(Eventually([&] { return !RecordingOpen(out); })); }

    const RecordingFile recording;
    const std::filesystem::path& out = recording.path;
};

TEST_F(SoundTest, PlaySoundPlaysTheFileOnceWithTheSumOfItsChannelsClamped)
{
    std::vector<std::pair<int16_t, int16_t>> frames;
    for (int i = 0; i < 100; ++i) frames.emplace_back(30000, 10000);   // past the top
    for (int i = 0; i < 100; ++i) frames.emplace_back(-30000, -10000); // past the bottom
    for (int i = 0; i < 7000; ++i) frames.emplace_back(static_cast<int16_t>(i % 2000 - 1000), 7);
    WriteBytes("Sounds/drum.wav", StereoWave(frames));

    EXPECT_EQ(Eval("PlaySound('\\\\sounds\\\\DRUM.wav')"), "null"); // returns while it plays
    WaitUntilPlayedOut();
    const std::vector<int16_t> heard = Recording(out);
    ASSERT_EQ(heard.size(), frames.size());
    for (size_t i = 0; i < heard.size(); ++i) {
        const int32_t expected = std::clamp<int32_t>(frames[i].first + frames[i].second, -32768, 32767);
        ASSERT_EQ(heard[i], expected) << i;
    }

    // A long sound is cut by PlaySound without a file.
    frames.assign(10 * 44100, {1000, 0});
    WriteBytes("long.wav", StereoWave(frames));
    EXPECT_EQ(Eval("PlaySound('long.wav')"), "null");
    ASSERT_TRUE(Eventually([&] { return ReadFile(out).size() > 44; }));
    EXPECT_EQ(Eval("PlaySound()"), "null");
    EXPECT_FALSE(RecordingOpen(out));
    const size_t cut = Recording(out).size();
    EXPECT_GT(cut, 0u);
    EXPECT_LT(cut, frames.size());

    // Files that cannot be read, or lie outside the device folder, play
    // nothing and report nothing.
    WriteFile(outside / "x.wav", WaveBytes(WaveHeader{}, Pcm16({1000, 1000})));
    WriteBytes("bad.wav", {'R', 'I', 'F', 'F', 0, 0});
    const std::string calls[] = {"PlaySound('\\\\none.wav')", "PlaySound('bad.wav')", "PlaySound(12)",
                                 "PlaySound('..\\\\" + outside.filename().string() + "\\\\x.wav')"};
    for (const std::string& call : calls) {
        EXPECT_EQ(Eval(call), "null") << call;
        EXPECT_FALSE(RecordingOpen(out)) << call;
        EXPECT_EQ(Recording(out).size(), cut) << call; // the file was not opened again
    }
}

TEST_F(SoundTest, BeepIsAShortToneThroughTheSamePlayer)
{
    EXPECT_EQ(Eval("Beep()"), "null");
    WaitUntilPlayedOut();
    const std::vector<int16_t> tone = Recording(out);
    ASSERT_EQ(tone.size(), 6615u); // 150 ms
    int16_t peak = 0;
    size_t rises = 0;
    for (size_t i = 0; i < tone.size(); ++i) {
        peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(tone[i])));
        if (i > 0 && tone[i - 1] < 0 && tone[i] >= 0) ++rises;
    }
    EXPECT_GT(peak, 6000);
    EXPECT_LE(peak, 8192);
    EXPECT_NEAR(static_cast<double>(rises), 880 * 0.150, 2); // 880 Hz
    EXPECT_LT(std::abs(tone.front()), 100);                  // no click at either end
    EXPECT_LT(std::abs(tone.back()), 100);

    // A beep replaces a sound that plays.
    WriteBytes("long.wav", StereoWave(std::vector<std::pair<int16_t, int16_t>>(5 * 44100, {500, 0})));
    EXPECT_EQ(Eval("PlaySound('long.wav')"), "null");
    EXPECT_EQ(Eval("Beep()"), "null");
    WaitUntilPlayedOut();
    EXPECT_EQ(Recording(out).size(), 6615u);
}

} // namespace
} // namespace vellum::test
