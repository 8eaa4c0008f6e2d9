// Track and Mixer through scripts: patterns from script tables, the errors
// of loading a sound (shown at once, the script going on), paths that try
// to leave the device folder, and tracks that outlive their tables.
#include "engine/vm/class_binding.h"
#include "media/audio/mixer.h"
#include "media/audio/track_class.h"
#include "system/system_harness.h"
#include "wave_bytes.h"

#include <unistd.h>

#include <cstring>

namespace vellum::test {
namespace {

class AudioScriptTest : public SystemHarness {
protected:
    AudioScriptTest() { WriteBytes("beat.wav", WaveBytes(WaveHeader(), Pcm16({1000, 2000, 3000}))); }

    // The track of a global's table.
    std::shared_ptr<media::Track> TrackOf(std::u16string_view global)
    {
        auto* object = NativeOf<media::TrackObject>(*ip, ip->GetGlobal(global));
        return object != nullptr ? object->Get() : nullptr;
    }
    // Runs statements that must not fail.
    void Exec(const std::string& statements) { ASSERT_EQ(Run(statements + " result = null"), "null") << statements; }
    // The steps 0 .. count − 1 at which the track starts its sound, as 1s and 0s.
    std::string Steps(std::u16string_view global, int count)
    {
        std::string flags;
        const auto track = TrackOf(global);
        for (int i = 0; i < count; ++i) flags += track->SoundAt(i) ? '1' : '0';
        return flags;
    }
};

TEST_F(AudioScriptTest, PatternsComeFromTheTableOrAnExplicitLength)
{
    ASSERT_EQ(Run("var t = Track('\\beat.wav', {true, false, true, false}) result = t.parent == Track"), "true");
    // Only the bool true turns a flag on; holes are off. Lengths below one
    // are one step; lengths past the step counter stop there.
    const struct {
        const char* arguments;
        int32_t length;
        const char* steps;
    } patterns[] = {
        {"{true, false, true, false}", 4, "101010101010"},
        {"{true, false, true, false}, 8", 8, "1010000010100000"},
        {"{0 = 1, 1 = 'x', 2 = true, 5 = true}", 6, "001001"},
        {"{}", 1, "00"},
        {"{true}, 0", 1, "11"},
        {"{true}, -3", 1, "11"},
        {"{true}, 0/0", 1, "11"},
        {"5", 1, "00"},
        {"{a = true}", 1, "00"},
        {"{true}, 1e12", media::Mixer::kStepCount, "10"},
    };
    Exec("var z");
    for (const auto& p : patterns) {
        Exec("z = Track('beat.wav', " + std::string(p.arguments) + ")");
        EXPECT_EQ(TrackOf(u"z")->PatternLength(), p.length) << p.arguments;
        EXPECT_EQ(Steps(u"z", static_cast<int>(std::strlen(p.steps))), p.steps) << p.arguments;
    }

    // SetAt takes only true as on, and ignores indices outside the pattern.
    Exec("t.SetAt(1, true) t.SetAt(2, 1) t.SetAt(-1, true) t.SetAt(4, true) t.SetAt(1e15, true)");
    EXPECT_EQ(Steps(u"t", 4), "1100");
    // A table without the native object does nothing.
    EXPECT_EQ(Run("Track.SetAt(0, true) Track.SetVolume(3) Track.SetFile('beat.wav') result = 1"), "1");
    EXPECT_FALSE(box.Shown());
}

TEST_F(AudioScriptTest, LoadErrorsAreShownAtOnceAndTheScriptGoesOn)
{
    WriteBytes("bad.wav", WaveBytes(WaveHeader().Rate(48000), Pcm16({1})));
    // A valid sound just outside the device folder must not be reachable.
    WriteFile(outside / "beat.wav", WaveBytes(WaveHeader(), Pcm16({5})));
    const std::string outsideName = "..\\" + outside.filename().string() + "\\beat.wav";

    const std::pair<std::string, std::string> loads[] = {
        {"var a = Track('\\missing.wav', {true})", "Vellum Error: File not found \\missing.wav"},
        {"var b = Track('bad.wav', {true})", "Vellum Error: Invalid file format bad.wav"},
        {"var c = Track('" + outsideName + "', {true})", "Vellum Error: File not found " + outsideName},
        {"var d = Track('beat.wav', {true}) d.SetFile('bad.wav')", "Vellum Error: Invalid file format bad.wav"},
    };
    for (const auto& [statements, message] : loads) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Run(statements + " result = 'went on'"), "\"went on\"");
        EXPECT_NE(::testing::internal::GetCapturedStderr().find(message), std::string::npos) << statements;
    }
    EXPECT_TRUE(box.Shown());
    EXPECT_FALSE(ip->ErrorPending());
    // A track that failed to load sounds, but with nothing in it.
    for (const char16_t* name : {u"a", u"b", u"c", u"d"}) {
        const auto track = TrackOf(name);
        EXPECT_TRUE(track != nullptr && track->SoundAt(0) != nullptr && track->SoundAt(0)->empty());
    }
    // SetFile with a good file brings the sound back.
    Exec("d.SetFile('\\beat.wav')");
    EXPECT_EQ(*TrackOf(u"d")->SoundAt(0), (std::vector<int32_t>{1000, 2000, 3000}));
}

TEST_F(AudioScriptTest, MixerTablesHoldTheirTracksAndPlayerAndGoInAnyOrder)
{
    Exec("var m = Mixer()");
    EXPECT_EQ(Eval("AsStr(m.parent == Mixer) & ValType(m.pObject) & ValType(m.pPlayer) & m.CurrPos()"),
              "\"trueptrptr0\"");
    // Tables without a track's native object are passed over.
    EXPECT_EQ(Run("m.Add({}) m.Add({pObject = m.pPlayer}) m.Add(Mixer()) result = 1"), "1");
    EXPECT_EQ(Run("Mixer.Start() Mixer.Stop() m.SetBPM(0) m.SetBPM(-1) result = Mixer.CurrPos()"), "null");
    auto* mixer = NativeOf<media::Mixer>(*ip, ip->GetGlobal(u"m"));
    ASSERT_NE(mixer, nullptr);
    EXPECT_EQ(mixer->SamplesPerStep(), 22050);

    // The track's table is dropped and collected the mixer keeps playing it.
    Exec("m.SetBPM(100.9) m.SetVolume(100) m.Add(Track('beat.wav', {true})) "
                  "var t = Track('beat.wav', {false, true}) t.SetVolume(50.7) m.Add(t) t = null");
    EXPECT_EQ(mixer->SamplesPerStep(), 26460);
    ip->Collect();
    ip->Collect();
    std::vector<int16_t> out(30000);
    mixer->Fill(out);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[26460], 1000 + 500); // both tracks sound on step 1

    // Freed in whatever order the collector or the interpreter's end takes
    // them, with playback started: nothing is left pointing at freed memory.
    Exec("var u = Track('beat.wav', {true}) m.Add(u) m.Start() var n = Mixer() n.Add(u) n.Start() n = null u = null");
    ip->Collect();
    EXPECT_EQ(Run("m.Stop() m.Start() result = m.CurrPos() >= 0"), "true");
    ip.reset();
}

} // namespace
} // namespace vellum::test
