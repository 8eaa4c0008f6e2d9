#include "tests/fuzz/fuzz_bench.h"

#include "host/core_interpreter.h"
#include "host/register_libraries.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"
#include "tests/host/temp_folder.h"

#include <QApplication>
#include <QPointingDevice>

#include <cstdlib>
#include <fstream>

namespace vellum::fuzz {

namespace {

struct FuzzFolder {
    test::TempFolder folder;
    platform::DeviceFolder device{folder.path};
};

FuzzFolder& Folder()
{
    static FuzzFolder folder;
    return folder;
}

} // namespace

std::filesystem::path WriteDeviceFile(std::string_view name, std::span<const uint8_t> bytes)
{
    const std::filesystem::path path = Folder().folder.path / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::unique_ptr<Interpreter> CoreInterpreter()
{
    platform::SetConsoleMode(true);
    return NewCoreInterpreter(Folder().device, nullptr);
}

std::unique_ptr<Interpreter> FullInterpreter()
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
    return NewInterpreter(Folder().device, nullptr);
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
