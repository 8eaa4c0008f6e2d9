// The entry point: reads the command line, picks the device folder and the
// start-up script, keeps to one instance per device folder, and runs.
#include "engine/core/unicode.h"
#include "host/application.h"
#include "host/command_line.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "platform/window/screenshot.h"
#include "platform/window/single_instance.h"
#include "platform/window/today_host.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The device folder and the start-up script's name for a command line.
struct Target {
    fs::path folder;
    std::u16string script;
};

std::optional<Target> ResolveTarget(const vellum::CommandLine& options, std::string& error)
{
    std::error_code ec;
    if (!options.target) {
        const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (ec) {
            error = "cannot find the program's own folder";
            return std::nullopt;
        }
        return Target{exe.parent_path(), u"default.q9c"};
    }
    const fs::path target = fs::absolute(*options.target, ec);
    if (fs::is_directory(target, ec)) return Target{target, u"default.q9c"};
    if (fs::is_regular_file(target, ec)) {
        return Target{target.parent_path(), vellum::FromUtf8(target.filename().string())};
    }
    error = "no such script or folder: " + options.target->string();
    return std::nullopt;
}

// A later start on the same device folder brings our window to the front.
void RaiseWindow()
{
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr) window = QApplication::activeWindow();
    if (window == nullptr) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) window = w;
        }
    }
    if (window == nullptr) return;
    window->showNormal();
    window->raise();
    window->activateWindow();
}

// A console run opens its forms when there is somewhere to show them: a
// display, or a platform named in QT_QPA_PLATFORM (offscreen runs them
// headless). Without one it keeps to a core application, and a form's
// Show then returns at once.
// After --screenshot, a run that wrote no picture fails.
int ScreenshotStatus()
{
    using vellum::platform::ScreenshotState;
    switch (vellum::platform::CurrentScreenshotState()) {
    case ScreenshotState::NotRequested:
    case ScreenshotState::Saved:
        return 0;
    case ScreenshotState::Waiting:
        std::cerr << "vellum: --screenshot: no form was shown, nothing was saved\n";
        return 1;
    case ScreenshotState::Failed:
        std::cerr << "vellum: --screenshot: the picture could not be written\n";
        return 1;
    }
    return 1;
}

// On the terminal, standard error carries the error box alone: Qt's own
// notes about the platform (a runtime folder, an offscreen window that
// cannot be raised) would be mistaken for the script's output.
void KeepQtNotesOffTheTerminal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
    }
}

bool CanShowWindows()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const vellum::ParsedCommandLine parsed = vellum::ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        std::cerr << "vellum: " << parsed.error << "\n" << vellum::UsageText();
        return 2;
    }
    const vellum::CommandLine& options = parsed.options;
    if (options.help) {
        std::cout << vellum::UsageText();
        return 0;
    }
    if (options.version) {
        std::cout << "vellum " << VELLUM_VERSION << "\n";
        return 0;
    }
    std::string error;
    const auto target = ResolveTarget(options, error);
    if (!target) {
        std::cerr << "vellum: " << error << "\n";
        return 2;
    }
    if (options.screenshot) {
        std::error_code ec;
        const fs::path folder = fs::absolute(*options.screenshot, ec).parent_path();
        if (ec || !fs::is_directory(folder, ec)) {
            std::cerr << "vellum: --screenshot: no such folder " << folder.string() << "\n";
            return 2;
        }
        vellum::platform::RequestScreenshot(fs::absolute(*options.screenshot, ec));
    }
    vellum::platform::SetDeviceScreen({{options.screenWidth, options.screenHeight}, options.dpi});

    // Console runs need no display; they are terminal tools and take no
    // part in the one-instance rule, which is about bringing a window forward.
    std::unique_ptr<QCoreApplication> qt;
    std::unique_ptr<vellum::platform::SingleInstance> instance;
    vellum::platform::SetConsoleMode(options.console);
    if (options.console) {
        qInstallMessageHandler(KeepQtNotesOffTheTerminal);
        if (CanShowWindows()) {
            qt = std::make_unique<QApplication>(argc, argv);
        } else {
            qt = std::make_unique<QCoreApplication>(argc, argv);
        }
    } else {
        qt = std::make_unique<QApplication>(argc, argv);
        instance = vellum::platform::SingleInstance::Claim(target->folder, RaiseWindow);
        if (!instance) return 0;
    }

    // The Today screen exists before the script, whose TTodayForm items it
    // holds, and keeps running after the script returned until it is closed.
    std::unique_ptr<vellum::platform::TodayHost> today;
    if (options.today && qobject_cast<QApplication*>(qt.get()) != nullptr) {
        today = std::make_unique<vellum::platform::TodayHost>();
        today->Show();
    }

    const vellum::platform::DeviceFolder folder(target->folder);
    vellum::Application application(folder, target->script);
    if (today) application.SetAfterScript([&today] { today->RunUntilClosed(); });
    const int status = application.Run();
    return status != 0 ? status : ScreenshotStatus();
}
