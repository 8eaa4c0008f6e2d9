// OpenFileBox and SaveFileBox: the system's file dialogs, opened on the
// device folder and answering with device paths.
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "platform/files/file_dialog.h"
#include "system/natives.h"
#include "system/shell/file_filter.h"

namespace vellum::system {

namespace {

uint32_t ShowFileBox(Interpreter& ip, bool save)
{
    if (!ip.CheckArgs(save ? 4 : 3, -1)) return 0;
    platform::FileDialogRequest request;
    request.save = save;
    request.title = ip.ArgText(1)->Utf16();
    request.nameFilters = NameFilters(ip.ArgText(2)->Utf16());
    // A directory outside the device folder opens the dialog at its root.
    const std::u16string directory(ip.ArgText(3)->Utf16());
    std::optional<std::filesystem::path> host = ip.Paths().HostPath(directory);
    if (!host) host = ip.Paths().HostPath(u"\\");
    if (!host) return 0;
    request.directory = *host;
    if (save) {
        // Only the name counts: a directory in it could point anywhere.
        const WideText nameUnits(ip.ArgText(4));
        const std::u16string_view name = nameUnits.View();
        const size_t slash = name.find_last_of(u"\\/");
        request.fileName = name.substr(slash == std::u16string_view::npos ? 0 : slash + 1);
    }
    const std::optional<std::filesystem::path> chosen = platform::ShowFileDialog(request);
    if (!chosen) return 0;
    const std::optional<std::u16string> device = ip.Paths().DevicePath(*chosen);
    if (!device) return 0;
    ip.PushString(*device);
    return 1;
}

} // namespace

uint32_t OpenFileBox(Interpreter& ip) { return ShowFileBox(ip, false); }

uint32_t SaveFileBox(Interpreter& ip) { return ShowFileBox(ip, true); }

} // namespace vellum::system
