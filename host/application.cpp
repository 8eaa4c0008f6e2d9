#include "host/application.h"

#include "engine/core/terminal_text.h"
#include "engine/core/unicode.h"
#include "engine/vm/interrupt.h"
#include "host/core_interpreter.h"
#include "host/script_file.h"
#include "platform/desktop/message_box.h"

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
    ScriptFileText file;
    if (hostPath) file = ReadScriptFile(*hostPath);
    if (!file.found && (platform::ConsoleMode() || !openEditor)) {
        WriteText(stderr, "vellum: no start-up script " + ToUtf8(startScript) + " in " + folder.Root().string() +
                              "; write one there, or run vellum APP.q9c\n");
        interpreter.reset();
        return 2;
    }
    if (!file.found) {
        // The editor's runs replace the interpreter each time; the last one
        // ends with the program.
        openEditor(*this, folder);
        interpreter.reset();
        return 0;
    }
    if (file.text) {
        ReplaceInterpreter(std::move(*file.text), scriptPath);
    } else {
        interpreter->RaiseError(errNotAScript, startScript);
    }
    if (afterScript && !interpreter->ErrorPending()) afterScript();
    const ErrorId ended = interpreter->ErrorIdentifier();
    // Showing the error may run scripts (a form's handlers), which a stop
    // still asked for would end at once.
    ClearStop();
    interpreter->ReportError();
    // The script's objects go with it: its open files are closed, their
    // written lines on disk.
    interpreter.reset();
    if (!platform::ConsoleMode()) return 0;
    return ended == errStopped ? kStoppedStatus : ended != errOK ? 1 : 0;
}

void Application::EndInterpreter(bool reportError)
{
    if (interpreter == nullptr) return;
    const bool failed = interpreter->ErrorPending();
    const std::u16string message = failed ? interpreter->FormatError() : std::u16string();
    const std::optional<TextLocation> at = interpreter->ErrorLocation();
    interpreter.reset();
    if (failed && reportError) errorBox.ShowError(message, at);
}

uint32_t Application::ReplaceInterpreter(std::u16string text, std::u16string_view scriptPath)
{
    interpreter.reset();
    interpreter = NewInterpreter();
    interpreter->Messages().scriptPath = scriptPath;
    return interpreter->RunSource(text);
}

} // namespace vellum
