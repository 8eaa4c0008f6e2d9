// The program with everything it can do: windows, the single-instance rule,
// the Today screen, screenshots and the built-in editor; and the Qt
// application of a console run that named one of the libraries.
#include "host/module/program.h"

#include "engine/core/terminal_text.h"
#include "host/application.h"
#include "host/command_line.h"
#include "host/editor/script_editor.h"
#include "host/register_libraries.h"
#include "platform/desktop/desktop_message_box.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "platform/window/screenshot.h"
#include "platform/window/single_instance.h"
#include "platform/window/today_host.h"
#include "platform/window/window_fit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <system_error>

namespace vellum {

namespace {

namespace fs = std::filesystem;

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

// After --screenshot, a run that wrote no picture fails.
int ScreenshotStatus()
{
    using platform::ScreenshotState;
    switch (platform::CurrentScreenshotState()) {
    case ScreenshotState::NotRequested:
    case ScreenshotState::Saved:
        return 0;
    case ScreenshotState::Waiting:
        WriteText(stderr, "vellum: --screenshot: no form was shown, nothing was saved\n");
        return 1;
    case ScreenshotState::Failed:
        WriteText(stderr, "vellum: --screenshot: the picture could not be written\n");
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
        WriteText(stderr, (qFormatLogMessage(type, context, message) + u'\n').toLocal8Bit().toStdString());
    }
}

// A console run opens its forms when there is somewhere to show them: a
// display, or a platform named in QT_QPA_PLATFORM (offscreen runs them
// headless). Without one it keeps to a core application, and a form's
// Show then returns at once.
bool CanShowWindows()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Where the run's windows go when there is no display: a screenshot
// renders on the offscreen platform, a console run does without windows.
// False for a desktop run, which cannot (Qt would abort in its platform
// plugin).
bool ChooseWindowPlatform(const CommandLine& options)
{
    if (CanShowWindows()) return true;
    if (options.screenshot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    return options.console;
}

// A console run's application: a QApplication when forms can be shown.
std::unique_ptr<QCoreApplication> ConsoleApplication(int& argc, char** argv)
{
    qInstallMessageHandler(KeepQtNotesOffTheTerminal);
    if (CanShowWindows()) return platform::StartWindowedApplication(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

// The device screen the command line asks for.
void SetScreenFrom(const CommandLine& options)
{
    platform::SetDeviceScreen({{options.screenWidth, options.screenHeight}, options.dpi});
}

// Qt keeps a reference to the argument count for the application's life.
int consoleArgc = 0;
std::unique_ptr<QCoreApplication> consoleQt;

} // namespace

int RunProgram(const CommandLine& options, int argc, char** argv)
{
    std::string error;
    const auto target = ResolveTarget(options, error);
    if (!target) {
        WriteText(stderr, "vellum: " + error + "\n");
        return 2;
    }
    if (options.screenshot) {
        std::error_code ec;
        const fs::path folder = fs::absolute(*options.screenshot, ec).parent_path();
        if (ec || !fs::is_directory(folder, ec)) {
            WriteText(stderr, "vellum: --screenshot: no such folder " + folder.string() + "\n");
            return 2;
        }
        platform::RequestScreenshot(fs::absolute(*options.screenshot, ec));
    }
    SetScreenFrom(options);
    if (!ChooseWindowPlatform(options)) {
        WriteText(stderr, "vellum: no display; use --console, or --screenshot FILE to render without one\n");
        return 2;
    }

    // Console runs need no display; they are terminal tools and take no
    // part in the one-instance rule, which is about bringing a window
    // forward. Nor do screenshot runs: each renders its own picture.
    std::unique_ptr<QCoreApplication> qt;
    std::unique_ptr<platform::SingleInstance> instance;
    platform::SetConsoleMode(options.console);
    if (options.console) {
        qt = ConsoleApplication(argc, argv);
    } else {
        // A screenshot is a terminal tool's run too: its standard error says
        // only what went wrong with the picture.
        if (options.screenshot) qInstallMessageHandler(KeepQtNotesOffTheTerminal);
        qt = platform::StartWindowedApplication(argc, argv);
        platform::InstallDesktopMessageBox();
        if (!options.screenshot) {
            instance = platform::SingleInstance::Claim(target->folder, RaiseWindow);
            if (!instance) {
                WriteText(stderr, "vellum: already running on " + target->folder.string() +
                                      "; brought its window to the front\n");
                return 0;
            }
        }
    }

    // The Today screen exists before the script, whose TTodayForm items it
    // holds, and keeps running after the script returned until it is closed.
    std::unique_ptr<platform::TodayHost> today;
    if (options.today && qobject_cast<QApplication*>(qt.get()) != nullptr) {
        today = std::make_unique<platform::TodayHost>();
        today->Show();
    }

    const platform::DeviceFolder folder(target->folder);
    Application application(folder, target->script, RegisterLibraries);
    application.SetEditor(OpenScriptEditor);
    if (today) application.SetAfterScript([&today] { today->RunUntilClosed(); });
    const int status = application.Run();
    return status != 0 ? status : ScreenshotStatus();
}

void StartConsoleLibraries(const CommandLine& options, int argc, char** argv)
{
    if (consoleQt) return;
    SetScreenFrom(options);
    consoleArgc = argc;
    consoleQt = ConsoleApplication(consoleArgc, argv);
}

void FinishConsoleLibraries() { consoleQt.reset(); }

} // namespace vellum
