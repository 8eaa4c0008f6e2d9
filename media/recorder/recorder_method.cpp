// VoiceRecorder file [, options]: the recorder window over a note in the
// device folder; true when the window was shown and the note exists when
// it closes, so that no caller is told of a note that is not there.
#include "media/recorder/recorder_method.h"

#include "engine/vm/path_resolver.h"
#include "gui/dialogs/dialog_methods.h"
#include "media/recorder/voice_recording.h"
#include "platform/dialogs/recorder_window.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace vellum::media {

namespace {

// A position is the low 16 bits of the truncated number, signed, so -1
// (and 65535) let the recorder choose.
void ReadPosition(Interpreter& ip, TableObject* options, std::u16string_view key, int32_t& out)
{
    int32_t value;
    if (Interpreter::ValueToInt(ip.TableGet(options, key), value)) out = static_cast<int16_t>(value & 0xFFFF);
}

void ReadFlag(Interpreter& ip, TableObject* options, std::u16string_view key, bool& out)
{
    const Value value = ip.TableGet(options, key);
    if (value.tag == Tag::Bool) out = value.IsTrue();
}

uint32_t VoiceRecorder(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const std::u16string file(ip.ArgText(1)->Utf16());
    platform::RecorderOptions options;
    if (ip.ArgCount() - 1 == 2) {
        TableObject* table = ip.ArgTable(2);
        if (table == nullptr) return 0;
        ReadPosition(ip, table, u"x", options.x);
        ReadPosition(ip, table, u"y", options.y);
        ReadFlag(ip, table, u"record", options.record);
        ReadFlag(ip, table, u"move", options.move);
        ReadFlag(ip, table, u"playNow", options.playNow);
    }
    gui::Form* form = gui::ThisForm(ip);
    if (form == nullptr) return 0;
    const auto host = ip.Paths().HostPath(file);
    const platform::FormWindow* window = form->LiveWindow();
    bool shown = false;
    if (host && window != nullptr) {
        ValueRoot keepForm(ip, Value::Pointer(form));
        media::VoiceRecording note(*host);
        std::error_code ec;
        shown = platform::RunVoiceRecorder(*window, options, note) && std::filesystem::is_regular_file(*host, ec);
    }
    ip.PushBool(shown);
    return 1;
}

constexpr ClassMethod kRecorderMethod[] = {{u"VoiceRecorder", VoiceRecorder}};

} // namespace

void RegisterRecorderMethod(Interpreter& ip) { AddMethods(ip, u"TForm", kRecorderMethod); }

} // namespace vellum::media
