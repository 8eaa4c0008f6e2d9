#include "platform/dialogs/camera_capture.h"

#include "platform/desktop/message_box.h"
#include "platform/dialogs/camera_module.h"
#include "platform/modules/loadable_module.h"
#include "platform/window/cursor.h"
#include "platform/window/shell_widget.h"

#include <QApplication>

#if defined(__SANITIZE_ADDRESS__)
// Asking Qt's multimedia for its devices connects to the sound server, whose
// client library keeps its context until the process ends; the leak checker
// would report that as ours in every run that looked for a camera.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libpulse.so\n";
}

// Quietly: console runs are compared with their expected output.
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
#endif

namespace vellum::platform {

namespace {

// Loaded only once a program with windows asks: console runs never see a camera.
const CameraModule* LoadedCameraModule()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
    static const auto* const module = LoadModule<CameraModule>(kCameraModuleFile, kCameraModuleEntry);
    return module;
}

} // namespace

bool CameraAvailable()
{
    const CameraModule* module = LoadedCameraModule();
    return module != nullptr && module->hasCamera();
}

bool RunCameraCapture(const FormWindow& owner, const CameraRequest& request, const std::filesystem::path& file)
{
    if (ConsoleMode() || !CameraAvailable()) return false;
    ShellWidget* shell = ShellWidgetOf(owner);
    if (shell == nullptr) return false;
    const SystemPointerScope systemPointer;
    bool taken = false;
    shell->WhileBusy([&] { taken = LoadedCameraModule()->capture(shell, request, file); });
    return taken;
}

} // namespace vellum::platform
