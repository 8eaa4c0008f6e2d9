#include "media/recorder/voice_recording.h"

#include "platform/audio/wave_file.h"
#include "platform/audio/wave_header.h"
#include "platform/audio/wave_input.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <vector>

namespace vellum::media {

class VoiceRecording::Source {
public:
    virtual ~Source() = default;
    // Appends what arrived since the last call; false once nothing more will.
    virtual bool Take(std::vector<int16_t>& out) = 0;
};

namespace {

constexpr platform::WaveFormat kNoteFormat{VoiceRecording::kSampleRate, 1, 16};
// A note of this many samples fills what the WAV sizes can describe.
constexpr uint64_t kMaxSamples = (std::numeric_limits<uint32_t>::max() - platform::kWaveHeaderBytes) / 2;

class DeviceSource final : public VoiceRecording::Source {
public:
    explicit DeviceSource(std::unique_ptr<platform::WaveInput> input) : input(std::move(input)) {}

    bool Take(std::vector<int16_t>& out) override
    {
        int16_t chunk[4096];
        size_t count = 0;
        do {
            if (!input->Read(chunk, count)) return false;
            out.insert(out.end(), chunk, chunk + count);
        } while (count == std::size(chunk));
        return true;
    }

private:
    std::unique_ptr<platform::WaveInput> input;
};

// The file's samples, handed out as the clock passes them.
class FileSource final : public VoiceRecording::Source {
public:
    explicit FileSource(std::vector<int16_t> samples) : samples(std::move(samples)), start(Clock::now()) {}

    bool Take(std::vector<int16_t>& out) override
    {
        const auto elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = std::min<size_t>(samples.size(), static_cast<size_t>(elapsed * VoiceRecording::kSampleRate));
        out.insert(out.end(), samples.begin() + static_cast<ptrdiff_t>(next), samples.begin() + static_cast<ptrdiff_t>(due));
        next = std::max(next, due);
        return next < samples.size();
    }

private:
    using Clock = std::chrono::steady_clock;
    std::vector<int16_t> samples;
    size_t next = 0;
    Clock::time_point start;
};

// The WAV file VELLUM_AUDIO_IN names at the note's rate: the mixer's
// reader brings every file to 44 100 samples a second by repeating
// samples, so every second one of those is the note's.
std::unique_ptr<VoiceRecording::Source> OpenFileSource(const char* name)
{
    std::vector<int32_t> wide;
    if (platform::ReadWaveFile(name, wide) != platform::WaveReadResult::Ok) return nullptr;
    std::vector<int16_t> samples;
    samples.reserve(wide.size() / 2);
    for (size_t i = 0; i < wide.size(); i += 2) samples.push_back(static_cast<int16_t>(std::clamp(wide[i], -32768, 32767)));
    return std::make_unique<FileSource>(std::move(samples));
}

std::unique_ptr<VoiceRecording::Source> OpenSource()
{
    if (const char* name = std::getenv("VELLUM_AUDIO_IN"); name != nullptr && *name != '\0') return OpenFileSource(name);
    auto input = platform::OpenDeviceInput(VoiceRecording::kSampleRate);
    return input ? std::make_unique<DeviceSource>(std::move(input)) : nullptr;
}

bool WriteHeader(std::FILE* out, uint64_t samples)
{
    const auto header = platform::WaveHeader(kNoteFormat, static_cast<uint32_t>(samples * 2));
    return std::fseek(out, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
           std::fseek(out, 0, SEEK_END) == 0 && std::fflush(out) == 0;
}

} // namespace

VoiceRecording::VoiceRecording(std::filesystem::path file) : file(std::move(file)) {}

VoiceRecording::~VoiceRecording() { Stop(); }

// The capture device is opened and let go again: a microphone another
// program holds, or one unplugged, counts as none.
bool VoiceRecording::CanRecord() { return OpenSource() != nullptr; }

bool VoiceRecording::Record()
{
    Stop();
    source = OpenSource();
    if (source == nullptr) return false;
    out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || !WriteHeader(out, 0)) {
        Finish();
        return false;
    }
    recorded = 0;
    return true;
}

void VoiceRecording::TakeSamples()
{
    if (source == nullptr) return;
    std::vector<int16_t> samples;
    const bool more = source->Take(samples);
    samples.resize(std::min<uint64_t>(samples.size(), kMaxSamples - recorded));
    // The file holds little-endian samples, as this machine does.
    static_assert(std::endian::native == std::endian::little);
    const bool written = std::fwrite(samples.data(), 2, samples.size(), out) == samples.size();
    recorded += samples.size();
    if (!written || !WriteHeader(out, recorded) || !more || recorded == kMaxSamples) Finish();
}

void VoiceRecording::Finish()
{
    source.reset();
    if (out != nullptr) std::fclose(out);
    out = nullptr;
}

void VoiceRecording::Stop()
{
    TakeSamples();
    Finish();
    player.Stop();
    played = false;
}

bool VoiceRecording::Play()
{
    Stop();
    std::vector<int32_t> samples;
    if (platform::ReadWaveFile(file, samples) != platform::WaveReadResult::Ok || samples.empty()) return false;
    platform::PlayOnce(player, std::move(samples));
    played = true;
    return true;
}

VoiceRecording::Status VoiceRecording::Poll()
{
    TakeSamples();
    Status status;
    status.recording = source != nullptr;
    status.playing = played && player.Playing();
    status.seconds = status.playing ? double(player.PlayedSamples()) / platform::OutputPlayer::kSampleRate
                                    : double(recorded) / kSampleRate;
    return status;
}

} // namespace vellum::media
