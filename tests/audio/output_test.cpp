// The output player and the sounds of the system library, played into the
// WAV file that VELLUM_AUDIO_OUT names: what the file holds is what was
// heard, in order, and the position moves like a device's.
#include "audio/wave_bytes.h"
#include "platform/audio/output_player.h"
#include "system/system_harness.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>

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

TEST_F(OutputTest, PlaybackRecordsTheFillInOrderAtTheDevicePaceEndsByItselfAndNeedsItsOutput)
{
    constexpr uint64_t kLength = 6 * kBlock + 345;
    std::atomic<uint64_t> handedOut{0};
    OutputPlayer player;
    const auto start = Clock::now();
    player.Start(
        [&](std::span<int16_t> samples) {
            EXPECT_EQ(samples.size(), kBlock);
            for (int16_t& s : samples) s = Pattern(handedOut++);
        },
        kLength);
    ASSERT_TRUE(player.Playing());
    // The file is one output: while one player records, another cannot open it.
    OutputPlayer second;
    const auto silence = [](std::span<int16_t> samples) { std::ranges::fill(samples, int16_t{0}); };
    second.Start(silence);
    EXPECT_FALSE(second.Playing());

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
        // Whole buffers, and the last 345 samples of the sound.
        EXPECT_TRUE(queued % OutputPlayer::kBufferBytes == 0 || queued % OutputPlayer::kBufferBytes == 2 * 345) << queued;
        sawQueue = sawQueue || queued > 0;
        last = played;
        return !player.Playing();
    }));
    EXPECT_TRUE(sawQueue);
    EXPECT_EQ(player.PlayedSamples(), kLength);
    EXPECT_EQ(handedOut, 7 * kBlock); // whole buffers are filled, only the sound is written
    EXPECT_FALSE(RecordingOpen(file));
    const std::vector<int16_t> heard = Recording(file);
    ASSERT_EQ(heard.size(), kLength);
    for (size_t i = 0; i < heard.size(); ++i) ASSERT_EQ(heard[i], Pattern(i)) << i;
    player.Stop(); // joins the thread that has already left
    EXPECT_EQ(player.PlayedSamples(), 0u);
    EXPECT_EQ(player.BytesQueued(), 0u);
    second.Start(silence);
    EXPECT_TRUE(second.Playing());
    second.Stop();

    // A recording that cannot be made: no fallback to a device, nothing plays or waits.
    ::setenv("VELLUM_AUDIO_OUT", "/nonexistent-folder/out.wav", 1);
    int fills = 0;
    const auto before = Clock::now();
    player.Start([&](std::span<int16_t>) { ++fills; });
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.PlayedSamples() + player.BytesQueued(), 0u);
    player.Stop();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(3));
    EXPECT_EQ(fills, 0);
}

// PlaySound and Beep through scripts, recorded into the file.
class SoundTest : public SystemHarness {
protected:
    ~SoundTest() override { Run("PlaySound()"); }

    void WaitUntilPlayedOut() { ASSERT_TRUE(Eventually([&] { return !RecordingOpen(out); })); }

    const RecordingFile recording;
    const std::filesystem::path& out = recording.path;
};

TEST_F(SoundTest, PlaySoundPlaysTheFileOnceClampedAndBeepIsAShortToneThroughTheSamePlayer)
{
    // Stereo frames past the top, past the bottom and within, and what is heard of each.
    const std::pair<std::array<int16_t, 2>, int16_t> frames[] = {
        {{30000, 10000}, 32767}, {{-30000, -10000}, -32768}, {{-1000, 7}, -993}, {{999, 7}, 1006}};
    std::vector<int16_t> stereo;
    std::vector<int16_t> expected;
    for (const auto& [frame, heard] : frames) {
        for (int i = 0; i < 2000; ++i) stereo.insert(stereo.end(), frame.begin(), frame.end());
        expected.insert(expected.end(), 2000, heard);
    }
    WriteBytes("Sounds/drum.wav", WaveBytes(WaveHeader{}.Channels(2), Pcm16(stereo)));
    EXPECT_EQ(Eval("PlaySound('\\\\sounds\\\\DRUM.wav')"), "null"); // returns while it plays
    WaitUntilPlayedOut();
    EXPECT_TRUE(Recording(out) == expected);

    // A beep replaces a long sound that plays: 150 ms of 880 Hz.
    WriteBytes("long.wav", WaveBytes(WaveHeader{}, Pcm16(std::vector<int16_t>(10 * 44100, 1000))));
    EXPECT_EQ(Eval("PlaySound('long.wav')"), "null");
    EXPECT_EQ(Eval("Beep()"), "null");
    WaitUntilPlayedOut();
    const std::vector<int16_t> tone = Recording(out);
    ASSERT_EQ(tone.size(), 6615u);
    const int peak = std::abs(std::ranges::max(tone, {}, [](int16_t s) { return std::abs(s); }));
    size_t rises = 0;
    for (size_t i = 1; i < tone.size(); ++i) rises += tone[i - 1] < 0 && tone[i] >= 0;
    EXPECT_GT(peak, 6000);
    EXPECT_LE(peak, 8192);
    EXPECT_NEAR(static_cast<double>(rises), 880 * 0.150, 2);
    EXPECT_LT(std::abs(tone.front()), 100); // no click at either end
    EXPECT_LT(std::abs(tone.back()), 100);

    // A long sound is cut by PlaySound without a file.
    EXPECT_EQ(Eval("PlaySound('long.wav')"), "null");
    ASSERT_TRUE(Eventually([&] { return ReadFile(out).size() > 44; }));
    EXPECT_EQ(Eval("PlaySound()"), "null");
    EXPECT_FALSE(RecordingOpen(out));
    const size_t cut = Recording(out).size();
    EXPECT_GT(cut, 0u);
    EXPECT_LT(cut, 10u * 44100);

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

} // namespace
} // namespace vellum::test
