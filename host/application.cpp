#include "host/application.h"

#include "engine/core/unicode.h"
#include "host/core_interpreter.h"
#include "host/script_file.h"
#include "platform/desktop/message_box.h"

#include <iostream>

namespace vellum {

Application::Application(const platform::DeviceFolder& folder_, std::u16string startScript_,
                         LibraryInstaller libraries_)
    : folder(folder_), startScript(std::move(startScript_)), libraries(std::move(libraries_))
{
}

std::unique_ptr<Interpreter> Application::NewInterpreter()
{
    auto ip = NewCoreInterpreter(folder, &errorBox);
    libraries(*ip);
    return ip;
}

int Application::Run()
{
    // The first interpreter exists before the script is looked for; the
    // script itself runs in a fresh one.
    interpreter = NewInterpreter();
    const std::u16string scriptPath = folder.PathBesideProgram(startScript);
    const auto hostPath = folder.HostPath(scriptPath);
    std::optional<std::u16string> text;
    if (hostPath) text = ReadScriptFile(*hostPath);
    if (!text && (platform::ConsoleMode() || !openEditor)) {
        std::cerr << "vellum: no start-up script " << ToUtf8(startScript) << " in " << folder.Root().string()
                  << "; write one there, or run vellum APP.q9c\n";
        interpreter.reset();
        return 2;
    }
    if (!text) {
        // The editor's runs replace the interpreter each time; the last one
        // ends with the program.
        openEditor(*this, folder);
        interpreter.reset();
        return 0;
    }
    ReplaceInterpreter(std::move(*text), scriptPath);
    if (afterScript && !interpreter->ErrorPending()) afterScript();
    const bool failed = interpreter->ErrorPending();
    interpreter->ReportError();
    interpreter.reset();
    return failed && platform::ConsoleMode() ? 1 : 0;
}

uint32_t Application::ReplaceInterpreter(std::u16string text, std::u16string_view scriptPath)
{
    interpreter.reset();
    interpreter = NewInterpreter();
    interpreter->Messages().scriptPath = scriptPath;
    return interpreter->RunSource(text);
}

} // namespace vellum
