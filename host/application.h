// The program's run: one device folder, one start-up script, and the
// interpreter that runs it.
#pragma once

#include "engine/vm/interpreter.h"
#include "host/error_box.h"
#include "platform/files/device_folder.h"

#include <functional>
#include <memory>
#include <string>

namespace vellum {

class Application {
public:
    // Adds the libraries beyond the core one to each new interpreter.
    using LibraryInstaller = std::function<void(Interpreter& ip)>;
    // Opens the built-in editor on the application (a program with windows).
    using EditorOpener = std::function<void(Application& application, const platform::DeviceFolder& folder)>;

    // startScript is the script's name in the device folder's root.
    Application(const platform::DeviceFolder& folder, std::u16string startScript, LibraryInstaller libraries);

    void SetEditor(EditorOpener opener) { openEditor = std::move(opener); }

    // The exit status of a console run stopped by Ctrl+C, as shells report
    // a program that SIGINT ended.
    static constexpr int kStoppedStatus = 130;

    // Runs the start-up script and shows its pending error, if any; without
    // the script the built-in editor opens instead (when there is one). Gives the exit status:
    // 0, 1 after an error box in console mode, kStoppedStatus when a console
    // run was stopped, or 2 when a console run has no start-up script (no
    // one could type into the editor).
    int Run();

    // Discards the current interpreter and runs text in a fresh one whose
    // script path is scriptPath. A pending error stays in the new
    // interpreter for the caller to show. Gives the id the new interpreter
    // keeps text under (see Interpreter::ErrorPlace).
    uint32_t ReplaceInterpreter(std::u16string text, std::u16string_view scriptPath);

    // Nothing after EndInterpreter.
    Interpreter* CurrentInterpreter() const { return interpreter.get(); }
    // Discards the current interpreter, the windows of its forms with it,
    // and then shows its pending error when asked to (or drops it).
    void EndInterpreter(bool reportError);

    // Runs after the start-up script returned without an error, while its
    // interpreter still lives (the Today screen's host runs its loop here).
    void SetAfterScript(std::function<void()> step) { afterScript = std::move(step); }

private:
    std::unique_ptr<Interpreter> NewInterpreter();

    const platform::DeviceFolder& folder;
    std::u16string startScript;
    LibraryInstaller libraries;
    EditorOpener openEditor;
    ErrorBox errorBox;
    std::unique_ptr<Interpreter> interpreter;
    std::function<void()> afterScript;
};

} // namespace vellum
