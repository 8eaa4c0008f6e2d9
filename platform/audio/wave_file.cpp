// The WAV reader. The header is read as one fixed 44-byte block: "RIFF",
// the size, "WAVEfmt ", a 16-byte PCM format chunk, then "data" at once, so
// a file with any other chunk before its data is not a sound this reader
// knows. Every count the header gives is checked against the bytes the file
// really has before a sample is read.
#include "platform/audio/wave_file.h"

#include "platform/files/open_files.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace vellum::platform {

namespace {

constexpr size_t kHeaderBytes = 44;
constexpr uint32_t kOutputRate = 44100;
// Longer sounds are refused rather than taking gigabytes once converted.
constexpr uint64_t kMaxSamples = uint64_t{kOutputRate} * 60 * 60;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | static_cast<uint32_t>(Le16(p + 2)) << 16; }

struct Format {
    uint16_t tag, channels, blockAlign, bits;
    uint32_t rate, dataBytes;
};

bool ParseHeader(const std::array<uint8_t, kHeaderBytes>& h, Format& f)
{
    if (std::memcmp(h.data(), "RIFF", 4) != 0 || std::memcmp(h.data() + 8, "WAVEfmt ", 8) != 0 ||
        std::memcmp(h.data() + 36, "data", 4) != 0) {
        return false;
    }
    f.tag = Le16(&h[20]);
    f.channels = Le16(&h[22]);
    f.rate = Le32(&h[24]);
    f.blockAlign = Le16(&h[32]);
    f.bits = Le16(&h[34]);
    f.dataBytes = Le32(&h[40]);
    return true;
}

// Plain PCM at one of the three rates that divide the output rate, 8 or 16
// bits (other depths would be read as the low bytes of their samples, which
// is noise), with frames wide enough for the samples read from them.
bool Readable(const Format& f)
{
    if (f.tag != 1) return false;
    if (f.rate != 44100 && f.rate != 22050 && f.rate != 11025) return false;
    if (f.bits != 8 && f.bits != 16) return false;
    const unsigned sampleBytes = f.bits == 8 ? 1 : 2;
    return f.blockAlign >= sampleBytes * (f.channels == 2 ? 2 : 1);
}

// One frame as a mono value: a stereo frame is the sum of its channels,
// any other frame its first channel.
int32_t FrameValue(const uint8_t* frame, const Format& f)
{
    const auto sample = [&](unsigned channel) -> int32_t {
        if (f.bits == 8) return (static_cast<int32_t>(frame[channel]) - 128) * 256;
        return static_cast<int16_t>(Le16(frame + 2 * channel));
    };
    return f.channels == 2 ? sample(0) + sample(1) : sample(0);
}

// The bytes from the read position to the end of the file.
uint64_t BytesLeft(std::FILE* stream)
{
    const off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0) return 0;
    const off_t end = ftello(stream);
    if (end < here || fseeko(stream, here, SEEK_SET) != 0) return 0;
    return static_cast<uint64_t>(end - here);
}

} // namespace

WaveReadResult ReadWaveFile(const std::filesystem::path& file, std::vector<int32_t>& samples)
{
    samples.clear();
    const platform::OpenFile in = platform::OpenFile::Open(
        file, {platform::FileAccess::read, platform::FileSharing::readWrite, platform::FileCreation::existingOnly});
    if (!in) return WaveReadResult::NotFound;
    std::FILE* stream = in.Handle();

    std::array<uint8_t, kHeaderBytes> header{};
    Format format{};
    if (std::fread(header.data(), 1, header.size(), stream) != header.size() || !ParseHeader(header, format) ||
        !Readable(format)) {
        return WaveReadResult::InvalidFormat;
    }
    // The data must all be there: a size the file cannot hold is a damaged
    // file, checked before anything of that size is allocated.
    if (format.dataBytes > BytesLeft(stream)) return WaveReadResult::InvalidFormat;
    std::vector<uint8_t> data(format.dataBytes);
    if (std::fread(data.data(), 1, data.size(), stream) != data.size()) return WaveReadResult::InvalidFormat;

    const size_t frames = data.size() / format.blockAlign;
    const uint32_t repeat = kOutputRate / format.rate;
    if (uint64_t{frames} * repeat > kMaxSamples) return WaveReadResult::InvalidFormat;
    samples.reserve(frames * repeat);
    for (size_t i = 0; i < frames; ++i) {
        // Sample-and-hold: each frame is written once per output sample it spans.
        samples.insert(samples.end(), repeat, FrameValue(data.data() + i * format.blockAlign, format));
    }
    return WaveReadResult::Ok;
}

} // namespace vellum::platform
