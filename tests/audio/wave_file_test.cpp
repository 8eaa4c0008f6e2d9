// The WAV reader on files built byte by byte and on the sounds of a Debian
// package: the conversions to 44.1 kHz mono, every rejection, and headers
// that claim more than the file holds.
#include "host/temp_folder.h"
#include "platform/audio/wave_file.h"
#include "system/system_harness.h"
#include "wave_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellum::test {
namespace {

using platform::ReadWaveFile;
using platform::WaveReadResult;

class WaveFileTest : public ::testing::Test {
protected:
    WaveReadResult Read(const std::vector<uint8_t>& bytes, std::vector<int32_t>& samples)
    {
        const auto path = folder.path / "sound.wav";
        WriteFile(path, bytes);
        return ReadWaveFile(path, samples);
    }
    TempFolder folder;
};

TEST_F(WaveFileTest, ConvertsEightAndSixteenBitMonoAndStereoAtTheThreeRates)
{
    std::vector<int32_t> samples;
    const struct {
        const char* what;
        WaveHeader header;
        std::vector<uint8_t> data;
        std::vector<int32_t> samples;
    } cases[] = {
        {"8-bit mono at 22 050 Hz: each sample twice, centred on 128 and scaled by 256",
         WaveHeader().Rate(22050).Bits(8), {28, 30, 226}, {-25600, -25600, -25088, -25088, 25088, 25088}},
        {"16-bit stereo at 44 100 Hz: left + right, not averaged, and signed", WaveHeader().Channels(2),
         Pcm16({1000, -400, -32768, -32768, 32767, 32767}), {600, -65536, 65534}},
        {"16-bit mono at 11 025 Hz: every frame four times", WaveHeader().Rate(11025), Pcm16({-7, 300}),
         {-7, -7, -7, -7, 300, 300, 300, 300}},
        {"8-bit stereo: both channels centred, then summed", WaveHeader().Channels(2).Bits(8),
         {0, 255, 128, 129}, {-32768 + 32512, 256}},
        {"more than two channels: the first alone, frames a block align apart, a partial frame dropped",
         WaveHeader().Channels(3), Pcm16({5, 100, 100, 6, 100, 100, 9}), {5, 6}},
        {"a wider block align than the samples need, as some writers pad frames", WaveHeader().BlockAlign(4),
         Pcm16({11, 99, -12, 99}), {11, -12}},
        {"no data at all is an empty sound, not a failure", WaveHeader(), {}, {}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Read(WaveBytes(c.header, c.data), samples), WaveReadResult::Ok) << c.what;
        EXPECT_EQ(samples, c.samples) << c.what;
    }
}

TEST_F(WaveFileTest, RejectsWhatItCannotPlayAndLeavesNoSamples)
{
    const std::vector<uint8_t> data = Pcm16({1, 2, 3, 4});
    const std::vector<uint8_t> whole = WaveBytes(WaveHeader(), data);
    std::vector<std::vector<uint8_t>> files;
    for (const WaveHeader& header : {
             WaveHeader().Rate(48000),
             WaveHeader().Rate(8000),
             WaveHeader().Tag(3).Bits(32), // float
             WaveHeader().Tag(0xFFFE),     // extensible
             WaveHeader().Bits(24).BlockAlign(3),
             // Any chunk between the format and the data is not skipped.
             WaveHeader().ChunkBeforeData("LIST"),
             WaveHeader().ChunkBeforeData("fact"),
             // Frames narrower than their samples, or of no width at all.
             WaveHeader().Channels(2).BlockAlign(2),
             WaveHeader().Channels(0).BlockAlign(0),
         })
        files.push_back(WaveBytes(header, data));
    for (const auto& [offset, text] : {std::pair{0, "RIFX"}, {8, "WAVX"}, {12, "fmt_"}, {36, "DATA"}}) {
        files.push_back(whole);
        std::copy_n(text, 4, files.back().begin() + offset);
    }
    // One byte more data than there is, the largest size a header can
    // claim, and every truncation of the header.
    files.push_back(WaveBytes(WaveHeader(), data, data.size() + 1));
    files.push_back(WaveBytes(WaveHeader(), data, 0xFFFFFFFF));
    for (size_t n = 0; n < 44; ++n) files.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    for (size_t i = 0; i < files.size(); ++i) {
        std::vector<int32_t> samples{42};
        EXPECT_EQ(Read(files[i], samples), WaveReadResult::InvalidFormat) << "case " << i;
        EXPECT_TRUE(samples.empty()) << "case " << i;
    }

    std::vector<int32_t> samples;
    EXPECT_EQ(ReadWaveFile(folder.path / "missing.wav", samples), WaveReadResult::NotFound);
    EXPECT_EQ(ReadWaveFile(folder.path, samples), WaveReadResult::NotFound); // a directory
    // A shorter claim reads only what it claims; bytes after it are ignored.
    ASSERT_EQ(Read(WaveBytes(WaveHeader(), data, 4), samples), WaveReadResult::Ok);
    EXPECT_EQ(samples, (std::vector<int32_t>{1, 2}));
}

// The sounds of Debian's sound-icons package (installed by scripts/setup):
// real 16 kHz files, which this reader refuses as they are; the same bytes
// relabelled at 22 050 Hz play, every sample of the file held twice.
TEST_F(WaveFileTest, RealFilesFromADebianPackage)
{
    const std::filesystem::path dir = "/usr/share/sounds/sound-icons";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "the sound-icons package is not installed";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".wav" || entry.is_symlink()) continue;
        ++files;
        std::vector<int32_t> samples;
        EXPECT_EQ(ReadWaveFile(entry.path(), samples), WaveReadResult::InvalidFormat) << entry.path();

        std::vector<uint8_t> bytes = ReadFile(entry.path());
        ASSERT_GE(bytes.size(), 44u);
        ASSERT_EQ(bytes[24] | bytes[25] << 8, 16000);
        bytes[24] = 22050 & 0xFF;
        bytes[25] = 22050 >> 8;
        ASSERT_EQ(Read(bytes, samples), WaveReadResult::Ok) << entry.path();
        std::vector<int32_t> twice;
        for (size_t i = 44; i + 1 < bytes.size(); i += 2)
            twice.insert(twice.end(), 2, static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
        EXPECT_EQ(samples, twice) << entry.path();
        EXPECT_TRUE(std::ranges::any_of(samples, [](int32_t s) { return s != 0; })) << entry.path();
    }
    EXPECT_GT(files, 10);
}

} // namespace
} // namespace vellum::test
