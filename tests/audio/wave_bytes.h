// WAV files built byte by byte for the audio tests.
#pragma once

#include "host/temp_folder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vellum::test {

struct WaveHeader {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    uint16_t blockAlign = 0; // 0: channels × bytes per sample
    // A chunk written between the format chunk and the data chunk, if any.
    std::string chunkBeforeData;

    WaveHeader& Tag(uint16_t v) { return tag = v, *this; }
    WaveHeader& Channels(uint16_t v) { return channels = v, *this; }
    WaveHeader& Rate(uint32_t v) { return rate = v, *this; }
    WaveHeader& Bits(uint16_t v) { return bits = v, *this; }
    WaveHeader& BlockAlign(uint16_t v) { return blockAlign = v, *this; }
    WaveHeader& ChunkBeforeData(std::string id) { return chunkBeforeData = std::move(id), *this; }
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The file's bytes; dataSize, when given, is what the header claims.
inline std::vector<uint8_t> WaveBytes(const WaveHeader& h, const std::vector<uint8_t>& data,
                                      int64_t dataSize = -1)
{
    const uint16_t align = h.blockAlign != 0 ? h.blockAlign : static_cast<uint16_t>(h.channels * (h.bits / 8));
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    PutLe(out, static_cast<uint32_t>(36 + data.size()), 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
    PutLe(out, 16, 4);
    PutLe(out, h.tag, 2);
    PutLe(out, h.channels, 2);
    PutLe(out, h.rate, 4);
    PutLe(out, h.rate * align, 4);
    PutLe(out, align, 2);
    PutLe(out, h.bits, 2);
    if (!h.chunkBeforeData.empty()) {
        for (char c : h.chunkBeforeData) out.push_back(static_cast<uint8_t>(c));
        PutLe(out, 4, 4);
        PutLe(out, 0, 4);
    }
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, static_cast<uint32_t>(dataSize >= 0 ? dataSize : static_cast<int64_t>(data.size())), 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// 16-bit little-endian samples as data bytes.
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    for (int16_t s : samples) PutLe(out, static_cast<uint16_t>(s), 2);
    return out;
}

// The WAV file that VELLUM_AUDIO_OUT names while one lives, where the output
// records what it plays instead of sending it to a device.
struct RecordingFile {
    RecordingFile() { ::setenv("VELLUM_AUDIO_OUT", path.c_str(), 1); }
    ~RecordingFile() { ::unsetenv("VELLUM_AUDIO_OUT"); }
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    const TempFolder folder;
    const std::filesystem::path path = folder.path / "out.wav";
};

} // namespace vellum::test
