// Programs, documents, the browser and what the shell knows of files.
//
// The browser: the registry's (the program named by the open command of
// the ".html" class) when that program is an executable inside the device
// folder; otherwise the desktop's opener, which hands the address to the
// user's browser.
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "platform/desktop/process.h"
#include "platform/draw/file_icon.h"
#include "system/natives.h"
#include "system/shell/device_registry.h"
#include "system/shell/program_start.h"

namespace vellum::system {

namespace {

constexpr size_t kMaxBrowserPath = 200;
constexpr size_t kMaxApplicationName = 300;

// The program path of the registry's browser, as the handheld's shell
// takes it from the command: cut after ".exe", without the opening
// quotation mark.
std::optional<std::u16string> RegisteredBrowser(Interpreter& ip)
{
    const RegistryFile registry = DeviceRegistry(ip);
    const std::optional<std::u16string> documentClass = registry.String(u"HKEY_CLASSES_ROOT\\.html", u"");
    if (!documentClass || documentClass->empty()) return std::nullopt;
    std::optional<std::u16string> command =
        registry.String(u"HKEY_CLASSES_ROOT\\" + *documentClass + u"\\Shell\\Open\\Command", u"");
    if (!command) return std::nullopt;
    for (const std::u16string_view exe : {u".exe", u".EXE", u".Exe"}) {
        const size_t at = command->find(exe);
        if (at != std::u16string::npos) {
            command->resize(at + exe.size());
            break;
        }
    }
    if (!command->empty() && command->front() == u'"') command->erase(0, 1);
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(*command);
    if (!host || !platform::IsExecutableFile(*host)) return std::nullopt;
    return command;
}

} // namespace

uint32_t RunApp(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const std::u16string program(ip.ArgText(1)->Utf16());
    const std::u16string arguments(ip.ArgCount() - 1 == 2 ? ip.ArgText(2)->Utf16() : std::u16string_view{});
    ip.PushBool(StartDeviceProgram(ip, program, arguments));
    return 1;
}

// A program in the device folder is started with the parameters, as
// "open" starts programs; any other file and any address goes to the
// opener, which takes no parameters.
uint32_t ShellExecute(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const std::u16string file(ip.ArgText(1)->Utf16());
    const std::u16string parameters(ip.ArgCount() - 1 == 2 ? ip.ArgText(2)->Utf16() : std::u16string_view{});
    if (!IsAddress(file)) {
        const std::optional<std::filesystem::path> host = ip.Paths().HostPath(file);
        if (host && platform::IsExecutableFile(*host)) {
            ip.PushBool(StartDeviceProgram(ip, file, parameters));
            return 1;
        }
    }
    ip.PushBool(OpenWithOpener(ip, file));
    return 1;
}

uint32_t GetFileInfo(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    if (!host) return 0;
    const std::optional<int32_t> icon = platform::FileIconIndex(*host);
    if (!icon) return 0;
    TableObject* info = ip.NewTable();
    ip.TableSet(info, u"icon", Value::Number(*icon));
    ip.PushValue(Value::Table(info));
    return 1;
}

uint32_t IBrowserPath(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    std::u16string path;
    if (std::optional<std::u16string> registered = RegisteredBrowser(ip)) path = std::move(*registered);
    else if (const std::optional<std::filesystem::path> opener = Opener()) path = platform::PathText(*opener);
    ip.PushString(std::u16string_view(path).substr(0, kMaxBrowserPath));
    return 1;
}

// The opener needs something to open: without an address it opens an
// empty page.
uint32_t IBrowser(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    const std::u16string address(ip.ArgCount() - 1 == 1 ? ip.ArgText(1)->Utf16() : std::u16string_view{});
    bool started = false;
    if (const std::optional<std::u16string> registered = RegisteredBrowser(ip)) {
        started = StartDeviceProgram(ip, *registered, address);
    } else {
        started = OpenWithOpener(ip, address.empty() ? std::u16string_view(u"about:blank") : address);
    }
    ip.PushBool(started);
    return 1;
}

uint32_t InstalledApplications(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const std::vector<std::u16string> names = DeviceRegistry(ip).Subkeys(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Apps");
    TableObject* list = ip.NewTable();
    for (size_t i = 0; i < names.size(); ++i) {
        list->Set(Value::Number(static_cast<double>(i)), ip.MakeString(std::u16string_view(names[i]).substr(0, kMaxApplicationName)));
    }
    ip.PushValue(Value::Table(list));
    return 1;
}

} // namespace vellum::system
