// The note the voice recorder records and plays: 16-bit mono PCM WAV at
// 22 050 samples a second, a format the mixer and PlaySound read. Sound
// comes from ALSA's default capture device, or, when the environment
// variable VELLUM_AUDIO_IN names a WAV file, from that file at the pace a
// microphone would deliver it, so headless runs record a known sound; the
// recording stops by itself when the file ends. Playing goes through the
// wave output.
//
// The file's header is brought up to date with every piece written, so a
// note stays readable if the program ends while it records.
#pragma once

#include "platform/audio/output_player.h"
#include "platform/dialogs/recorder_window.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vellum::media {

class VoiceRecording final : public platform::RecorderActions {
public:
    static constexpr uint32_t kSampleRate = 22050;

    explicit VoiceRecording(std::filesystem::path file);
    ~VoiceRecording();
    VoiceRecording(const VoiceRecording&) = delete;
    VoiceRecording& operator=(const VoiceRecording&) = delete;

    bool CanRecord() override;
    // Starts a new note in the file, replacing what it held; false when
    // there is no sound to record or the file cannot be written.
    bool Record() override;
    void Stop() override;
    // Plays the file; false when it holds no sound the mixer reads.
    bool Play() override;
    Status Poll() override;

    // A source of samples: the capture device or the file.
    class Source;

private:
    void TakeSamples();
    void Finish();

    std::filesystem::path file;
    std::unique_ptr<Source> source;
    std::FILE* out = nullptr;
    uint64_t recorded = 0; // samples written to the file
    platform::OutputPlayer player;
    bool played = false; // Play started the player
};

} // namespace vellum::media
