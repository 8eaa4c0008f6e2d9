// The built-in script editor, opened when the device folder has no
// start-up script: a window of the program's own kind titled "Vellum"
// whose client area is the script's text, with the menu bar "File" (with
// "Open..." and "Save As...") and "Run!". The text lives in
// "defaultide.q9c", saved on every run and when the window goes. Each run
// replaces the application's interpreter, so no global of one run is seen
// by the next; an error puts the caret where it happened and shows the
// error box, and the editor stays for the next try.
#pragma once

#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"
#include "platform/files/device_folder.h"
#include "platform/window/form_window.h"

#include <filesystem>
#include <memory>

namespace vellum {

class Application;

class ScriptEditor final : public platform::FormWindowHandler, public platform::ControlHandler {
public:
    static constexpr int32_t kRunCommand = 9002;
    static constexpr int32_t kOpenCommand = 9010;
    static constexpr int32_t kSaveAsCommand = 9012;

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

private:
    // Saves the text and destroys the window. While a run goes on (its
    // forms live inside this window's command) the close waits for its end.
    void Close();
    void Run();
    void Open();
    void SaveAs();
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
    bool running = false;
    bool closeAfterRun = false;
};

// Opens the editor on an application and runs it until its window is gone
// (the application's EditorOpener for a program with windows).
void OpenScriptEditor(Application& application, const platform::DeviceFolder& folder);

} // namespace vellum
