// The built-in script editor, opened when the device folder has no
// start-up script: a window of the program's own kind titled "Vellum"
// whose client area is the script's text, with the menu bar "File" (with
// "Open..." and "Save As...") and "Run!". The text lives in
// "defaultide.q9c", saved on every run and when the window goes; Open asks
// before it replaces a text that was never saved as a file of its own. Each run
// replaces the application's interpreter, so no global of one run is seen
// by the next; an error puts the caret where it happened and shows the
// error box, and the editor stays for the next try. While a run goes on
// the window still answers, and "Stop" (Escape, Ctrl+Break) ends the run.
//
// Runs go under the engine's debugger: a run stops at the breakpoints set
// in the text's margin (kept with the text's lines for the session, never
// in a file a script could see), shows its stack and variables below the
// text, and goes on with Continue or a step.
#pragma once

#include "engine/debug/debugger.h"
#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"
#include "platform/files/device_folder.h"
#include "platform/window/form_window.h"

#include <filesystem>
#include <memory>

namespace vellum {

class Application;

namespace platform {
class RunPause;
}

class ScriptEditor final : public platform::FormWindowHandler, public platform::ControlHandler, public DebugFrontEnd {
public:
    static constexpr int32_t kRunCommand = 9002;
    static constexpr int32_t kOpenCommand = 9010;
    static constexpr int32_t kSaveAsCommand = 9012;
    static constexpr int32_t kStopCommand = 9014;
    // The menu bar's right key: "Run!", or "Stop" while a run goes on.
    static constexpr int32_t kRunOrStopCommand = 9016;
    // While a run is stopped in the debugger.
    static constexpr int32_t kStepOverCommand = 9018;
    static constexpr int32_t kStepIntoCommand = 9020;
    static constexpr int32_t kStepOutCommand = 9022;

    ScriptEditor(Application& application, const platform::DeviceFolder& folder);
    ~ScriptEditor();
    ScriptEditor(const ScriptEditor&) = delete;
    ScriptEditor& operator=(const ScriptEditor&) = delete;

    // Opens the window and runs its loop until the window is gone.
    void RunModeless();

    // FormWindowHandler
    void Command(int32_t id) override;
    void CloseRequested() override { Close(); }
    void EndRequested() override { Close(); }
    void Destroyed() override;
    void Resized() override;

    // DebugFrontEnd: shows the stop and handles the editor's events until
    // the user goes on.
    Resume Stopped(DebugStop& stop) override;

private:
    // Saves the text and destroys the window. While a run goes on (its
    // forms live inside this window's command) it stops the run first.
    void Close();
    void Run();
    // Ends the run going on wherever it is, its forms with it; the run
    // reports "Stopped" where it stopped.
    void Stop();
    // Ends the wait of a stopped run, which goes on as asked.
    void GoOn(Resume how);
    // Hands the margin's breakpoints to the run's debugger.
    void SendBreakpoints();
    // Asks first when the text would be lost (KeepChanges).
    void Open();
    // Gives whether the text was written; a name without an extension gets ".q9c".
    bool SaveAs();
    // Whether the text may be replaced: it is as last opened or saved as a
    // file, or the user saved it now or chose to discard it.
    bool KeepChanges();
    // Writes the text to "defaultide.q9c" without a mark; a failure goes unreported.
    void Save();
    // A file the user picks inside the device folder; none when cancelled
    // or outside it (which the user is told).
    std::optional<std::filesystem::path> ChooseFile(bool save);
    void Complain(std::u16string_view text);

    Application& application;
    const platform::DeviceFolder& folder;
    std::filesystem::path editorFile;
    std::unique_ptr<platform::FormWindow> window;
    std::unique_ptr<platform::NativeControl> text;
    // The text as it was last opened or saved as a file.
    std::u16string fileText;
    bool running = false;
    bool closeAfterRun = false;
    // While a run goes on: its debugger; while it is stopped: the wait and
    // how the run goes on after it.
    Debugger* debugger = nullptr;
    platform::RunPause* pause = nullptr;
    Resume resume = Resume::Continue;
};

// Opens the editor on an application and runs it until its window is gone
// (the application's EditorOpener for a program with windows).
void OpenScriptEditor(Application& application, const platform::DeviceFolder& folder);

} // namespace vellum
