#include "tests/fuzz/fuzz_bench.h"

#include "host/corelib/core_library.h"
#include "host/register_libraries.h"
#include "platform/files/device_folder.h"
#include "platform/desktop/message_box.h"

#include <QApplication>
#include <QPointingDevice>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace vellum::fuzz {

namespace {

class FuzzFolder {
public:
    FuzzFolder() : path(MakeFolder()), device(path) {}
    ~FuzzFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    std::filesystem::path path;
    platform::DeviceFolder device;

private:
    static std::filesystem::path MakeFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vellum-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }
};

FuzzFolder& Folder()
{
    static FuzzFolder folder;
    return folder;
}

} // namespace

std::filesystem::path WriteDeviceFile(std::string_view name, std::span<const uint8_t> bytes)
{
    const std::filesystem::path path = Folder().path / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void EnsureApplication()
{
    static std::unique_ptr<QApplication> application;
    if (application == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "vellum-fuzz";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QApplication>(argc, argv);
        // Input events make Qt's device list, a static of its own, which the
        // application's devices leave as they go: the application ends
        // before that list does, as it ends in main in the program.
        QPointingDevice::primaryPointingDevice();
        std::atexit([] { application.reset(); });
    }
    platform::SetConsoleMode(true);
}

std::unique_ptr<Interpreter> CoreInterpreter()
{
    platform::SetConsoleMode(true);
    auto ip = std::make_unique<Interpreter>(RegisterCoreLibrary);
    ip->SetPathResolver(&Folder().device);
    ip->SetStepLimit(kStepLimit, kTimeLimit);
    return ip;
}

std::unique_ptr<Interpreter> FullInterpreter()
{
    EnsureApplication();
    auto ip = NewInterpreter(Folder().device, nullptr);
    ip->SetStepLimit(kStepLimit, kTimeLimit);
    return ip;
}

void RunAndForget(Interpreter& ip, std::u16string_view text)
{
    ip.SetStepLimit(kStepLimit, kTimeLimit);
    ip.RunSource(text);
    ip.ClearError();
}

void RunOnFile(std::string_view name, std::span<const uint8_t> bytes, std::u16string_view definition)
{
    WriteDeviceFile(name, bytes);
    static const std::unique_ptr<Interpreter> ip = [definition] {
        auto made = FullInterpreter();
        RunAndForget(*made, definition);
        return made;
    }();
    RunAndForget(*ip, u"Run()");
}

} // namespace vellum::fuzz
