// CameraCapture [options]: the camera dialog; the device path of the
// picture or video taken, null when cancelled or without a camera.
#include "engine/core/string_object.h"
#include "engine/vm/path_resolver.h"
#include "gui/dialogs/camera_options.h"
#include "gui/dialogs/dialog_methods.h"

#include <filesystem>
#include <optional>
#include <string>

namespace vellum::gui {

namespace {

std::u16string TextOption(Interpreter& ip, TableObject* options, std::u16string_view key)
{
    const Value value = ip.TableGet(options, key);
    return value.IsStr() ? value.str->Utf16() : std::u16string();
}

int32_t NumberOption(Interpreter& ip, TableObject* options, std::u16string_view key)
{
    int32_t value = 0;
    if (!Interpreter::ValueToInt(ip.TableGet(options, key), value)) return 0;
    return static_cast<uint16_t>(value & 0xFFFF);
}

// Where the capture goes: the file name in the folder when both are
// given, else a new name in the folder or in \My Documents; none when the
// place lies outside the device folder.
std::optional<std::filesystem::path> CaptureFile(Interpreter& ip, const CameraOptions& options)
{
    const std::u16string folder = options.initialDir.empty() ? u"\\My Documents" : options.initialDir;
    const auto hostFolder = ip.Paths().HostPath(folder);
    if (!hostFolder) return std::nullopt;
    std::error_code ec;
    std::filesystem::create_directories(*hostFolder, ec);
    const bool video = options.request.mode != platform::CameraMode::Still;
    const std::u16string extension = video ? u".mp4" : u".jpg";
    if (!options.file.empty()) {
        std::u16string name = options.file;
        if (name.find(u'.') == std::u16string::npos) name += extension;
        return ip.Paths().HostPath(folder + u"\\" + name);
    }
    for (int n = 1; n < 100000; ++n) {
        const std::string number = std::to_string(n);
        const std::u16string name = (video ? u"Video" : u"Picture") + std::u16string(number.begin(), number.end()) + extension;
        const auto candidate = ip.Paths().HostPath(folder + u"\\" + name);
        if (candidate && !std::filesystem::exists(*candidate, ec)) return candidate;
    }
    return std::nullopt;
}

} // namespace

CameraOptions ReadCameraOptions(Interpreter& ip, TableObject* table)
{
    CameraOptions options;
    if (table == nullptr) return options;
    options.initialDir = TextOption(ip, table, u"initialDir");
    options.file = TextOption(ip, table, u"file");
    platform::CameraRequest& request = options.request;
    request.title = TextOption(ip, table, u"title");
    const std::u16string quality = TextOption(ip, table, u"quality");
    if (quality == u"low") request.quality = platform::StillQuality::Low;
    if (quality == u"normal") request.quality = platform::StillQuality::Normal;
    if (quality == u"high") request.quality = platform::StillQuality::High;
    request.messagingVideo = TextOption(ip, table, u"videoType") == u"messaging";
    const std::u16string mode = TextOption(ip, table, u"mode");
    if (mode == u"video") request.mode = platform::CameraMode::Video;
    if (mode == u"video&audio") request.mode = platform::CameraMode::VideoWithSound;
    request.width = NumberOption(ip, table, u"width");
    request.height = NumberOption(ip, table, u"height");
    request.timeLimitSeconds = NumberOption(ip, table, u"timeLimit");
    return options;
}

uint32_t CameraCapture(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    TableObject* table = nullptr;
    if (ip.ArgCount() - 1 == 1) {
        table = ip.ArgTable(1);
        if (table == nullptr) return 0;
    }
    Form* form = ThisForm(ip);
    if (form == nullptr) return 0;
    const CameraOptions options = ReadCameraOptions(ip, table);
    const platform::FormWindow* window = form->LiveWindow();
    // No camera: cancelled at once, before any file is named.
    if (window == nullptr || !platform::CameraAvailable()) return 0;
    const auto file = CaptureFile(ip, options);
    if (!file) return 0;
    ValueRoot keepForm(ip, Value::Pointer(form));
    if (!platform::RunCameraCapture(*window, options.request, *file)) return 0;
    const auto devicePath = ip.Paths().DevicePath(*file);
    if (!devicePath) return 0;
    ip.PushString(*devicePath);
    return 1;
}

} // namespace vellum::gui
