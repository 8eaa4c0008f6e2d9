// The entry point: reads the command line, picks the device folder and the
// start-up script, keeps to one instance per device folder, and runs.
#include "core/unicode.h"
#include "host/application.h"
#include "host/command_line.h"
#include "platform/device_folder.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"

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

    // Console runs need no display; they are terminal tools and take no
    // part in the one-instance rule, which is about bringing a window forward.
    std::unique_ptr<QCoreApplication> qt;
    std::unique_ptr<vellum::platform::SingleInstance> instance;
    vellum::platform::SetConsoleMode(options.console);
    if (options.console) {
        qt = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        qt = std::make_unique<QApplication>(argc, argv);
        instance = vellum::platform::SingleInstance::Claim(target->folder, RaiseWindow);
        if (!instance) return 0;
    }

    const vellum::platform::DeviceFolder folder(target->folder);
    vellum::Application application(folder, target->script);
    return application.Run();
}
