#include "host/editor/script_editor.h"

#include "engine/core/unicode.h"
#include "engine/error/error_table.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/interrupt.h"
#include "host/application.h"
#include "host/editor/editor_file.h"
#include "host/script_file.h"
#include "platform/desktop/choice_box.h"
#include "platform/desktop/message_box.h"
#include "platform/editor/run_watch.h"
#include "platform/editor/script_text.h"
#include "platform/files/file_dialog.h"
#include "platform/window/message_loop.h"

#include <optional>

namespace vellum {

namespace {

constexpr char16_t kEditorFile[] = u"defaultide.q9c";
// One tab stop of 8 dialog units: two average characters.
constexpr int32_t kTabStopUnits = 8;

// The right key says "Stop" while a run goes on; it is relabelled, not
// rebuilt, since the run goes on inside its own click.
platform::MenuLayout EditorMenu()
{
    using Entry = platform::MenuEntry;
    Entry file{Entry::Kind::Popup, 0, u"File", {}, {}, {}};
    file.items.push_back({Entry::Kind::Command, ScriptEditor::kOpenCommand, u"Open...", {}, {}, {}});
    file.items.push_back({Entry::Kind::Command, ScriptEditor::kSaveAsCommand, u"Save As...", {}, {}, {}});
    return {file, {Entry::Kind::Command, ScriptEditor::kRunOrStopCommand, u"Run!", {}, {}, {}}};
}

// The text up to its first zero unit: all of it the lexer would read.
std::u16string_view UpToZero(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

} // namespace

ScriptEditor::ScriptEditor(Application& application_, const platform::DeviceFolder& folder_)
    : application(application_), folder(folder_),
      editorFile(folder.HostPath(folder.PathBesideProgram(kEditorFile)).value_or(folder.Root() / "defaultide.q9c"))
{
}

ScriptEditor::~ScriptEditor() = default;

void ScriptEditor::RunModeless()
{
    window = platform::FormWindow::Create(*this, {u"Vellum", nullptr, nullptr, 0});
    if (window == nullptr) return;
    window->InstallMenuBar(EditorMenu());
    text = platform::NativeControl::Create(*window, platform::ControlKind::ScriptText, *this);
    if (text == nullptr) {
        platform::ShowMessageBox(u"Could not create edit box.", u"Error", platform::MessageButtons::Ok,
                                 platform::MessageIcon::Error, window.get());
    } else {
        platform::ScriptText script(text.get());
        script.SetText(UpToZero(ReadScriptFile(editorFile).text.value_or(u"")));
        script.SetTabStop(kTabStopUnits);
        script.SetCommands({kRunCommand, kStopCommand, kStepOverCommand, kStepIntoCommand, kStepOutCommand});
        script.OnBreakpointsChanged([this] { SendBreakpoints(); });
        text->Move(window->ClientRect());
        text->Show(true);
    }
    window->Show();
    window->BringToForeground();
    if (text != nullptr) text->TakeFocus();
    platform::RunMessageLoop(this);
}

void ScriptEditor::Command(int32_t id)
{
    switch (id) {
    case platform::kCommandOk:
        Close();
        break;
    case kRunCommand:
        // F5 and Ctrl+R continue a stopped run.
        if (pause != nullptr) {
            GoOn(Resume::Continue);
        } else {
            Run();
        }
        break;
    case kStepOverCommand:
        GoOn(Resume::StepOver);
        break;
    case kStepIntoCommand:
        GoOn(Resume::StepIn);
        break;
    case kStepOutCommand:
        GoOn(Resume::StepOut);
        break;
    case kOpenCommand:
        Open();
        break;
    case kSaveAsCommand:
        SaveAs();
        break;
    case kStopCommand:
        Stop();
        break;
    case kRunOrStopCommand:
        if (running) {
            Stop();
        } else {
            Run();
        }
        break;
    default:
        break;
    }
}

void ScriptEditor::Destroyed() { platform::PostQuit(); }

void ScriptEditor::Resized()
{
    if (text != nullptr && window != nullptr && window->Alive()) text->Move(window->ClientRect());
}

void ScriptEditor::Close()
{
    closeAfterRun = running;
    if (running) Stop();
    if (running || window == nullptr || !window->Alive()) return;
    Save();
    window->Destroy();
}

void ScriptEditor::Run()
{
    // A run's forms keep the loop going inside this command, so the menu
    // and the keys still reach the editor; a second run would pull the
    // interpreter from under the first.
    if (running || text == nullptr || !text->Alive()) return;
    Save();
    running = true;
    window->SetMenuItemText(kRunOrStopCommand, u"Stop");
    uint32_t source = 0;
    {
        const platform::RunWatch watch(*window);
        // Under a debugger of its own (a debug session opened the editor)
        // the run belongs to that debugger, and the margin's breakpoints wait.
        std::optional<Debugger> runDebugger;
        if (!Debugger::Attached()) {
            debugger = &runDebugger.emplace(*this);
            SendBreakpoints();
        }
        source = application.ReplaceInterpreter(platform::ScriptText(text.get()).Text(), u"");
        debugger = nullptr;
    }
    ClearStop();
    running = false;
    if (window->Alive()) window->SetMenuItemText(kRunOrStopCommand, u"Run!");
    Interpreter& ip = *application.CurrentInterpreter();
    if (ip.ErrorPending()) {
        // An error inside an included file has no place in this text.
        const SourcePlace place = ip.ErrorPlace();
        if (place.Known() && place.text == source) platform::ScriptText(text.get()).PlaceCaret(place.position);
        if (ip.ErrorIdentifier() != errStopped) {
            ip.ReportError();
        } else {
            // A stopped run's forms go before the box says so; a run stopped
            // because the window closes ends without a word.
            application.EndInterpreter(!closeAfterRun);
        }
    }
    if (closeAfterRun) {
        Close();
        return;
    }
    text->TakeFocus();
}

void ScriptEditor::Stop()
{
    if (!running) return;
    RequestStop();
    platform::EndLoopsInside(this);
    GoOn(Resume::Terminate);
}

Resume ScriptEditor::Stopped(DebugStop& stop)
{
    // A stop is shown once at a time; one that comes while the window goes
    // (its last events) lets the run go on to its Stop.
    if (pause != nullptr || text == nullptr || window == nullptr || !window->Alive()) return Resume::Continue;
    platform::ScriptText script(text.get());
    // The editor's own text is the one without a source name of its own
    // (included files are named by their paths).
    script.ShowStop(stop, [](const DebugFrame& frame) { return frame.native || !frame.source.empty() ? 0 : frame.line; });
    text->TakeFocus();
    resume = Resume::Continue;
    platform::RunPause waiting(*window);
    pause = &waiting;
    waiting.Wait();
    pause = nullptr;
    if (text->Alive()) script.EndStop();
    return resume;
}

void ScriptEditor::GoOn(Resume how)
{
    if (pause == nullptr) return;
    resume = how;
    pause->End();
}

void ScriptEditor::SendBreakpoints()
{
    if (debugger == nullptr || text == nullptr) return;
    std::vector<BreakpointRequest> breakpoints;
    for (const int32_t line : platform::ScriptText(text.get()).BreakpointLines()) breakpoints.push_back({line, {}, {}});
    // The editor's text has no source name: its runs have no script path.
    debugger->SetBreakpoints(u"", std::move(breakpoints));
}

void ScriptEditor::Save()
{
    if (text == nullptr || !text->Alive()) return;
    WriteUtf16Text(editorFile, platform::ScriptText(text.get()).Text(), false);
}

void ScriptEditor::Open()
{
    if (running || text == nullptr || !KeepChanges()) return;
    const std::optional<std::filesystem::path> file = ChooseFile(false);
    if (!file) return;
    const ScriptFileText loaded = ReadScriptFile(*file);
    if (!loaded.found) {
        Complain(u"The file could not be read.");
        return;
    }
    if (!loaded.text) {
        Complain(FormatTemplate(EnglishMessage(errNotAScript), FromUtf8(file->filename().string()), {}, SIZE_MAX));
        return;
    }
    platform::ScriptText script(text.get());
    script.SetText(UpToZero(*loaded.text));
    fileText = script.Text();
}

bool ScriptEditor::SaveAs()
{
    // The file box would wait for input the running script's poll holds back.
    if (running || text == nullptr) return false;
    std::optional<std::filesystem::path> file = ChooseFile(true);
    if (!file) return false;
    // Open lists scripts by their extension; a bare name gets it.
    if (!file->has_extension()) *file += ".q9c";
    const std::u16string written = platform::ScriptText(text.get()).Text();
    if (!WriteUtf16Text(*file, written, true)) {
        Complain(u"The file could not be written.");
        return false;
    }
    fileText = written;
    return true;
}

bool ScriptEditor::KeepChanges()
{
    if (platform::ScriptText(text.get()).Text() == fileText) return true;
    // The next run or close writes over the editor's own file, so a text
    // replaced now would be gone unless it is saved as a file of its own.
    static constexpr std::u16string_view kChoices[] = {u"Save As...", u"Discard", u"Cancel"};
    switch (platform::ShowChoiceBox(u"The text has changed since it was last opened or saved as a file. "
                                    u"Save it before opening another?",
                                    u"Vellum", kChoices, window.get())) {
    case 0:
        return SaveAs();
    case 1:
        return true;
    default:
        return false;
    }
}

std::optional<std::filesystem::path> ScriptEditor::ChooseFile(bool save)
{
    platform::FileDialogRequest request;
    request.save = save;
    request.title = save ? u"Save As" : u"Open";
    request.nameFilters = {u"Scripts (*.q9c)", u"All files (*)"};
    request.directory = folder.Root();
    const std::optional<std::filesystem::path> chosen = platform::ShowFileDialog(request);
    if (!chosen) return std::nullopt;
    // The dialog can wander anywhere; the editor reads and writes only inside the device folder.
    const std::optional<std::u16string> device = folder.DevicePath(*chosen);
    if (!device) {
        Complain(u"Choose a file inside the device folder.");
        return std::nullopt;
    }
    return folder.HostPath(*device);
}

void ScriptEditor::Complain(std::u16string_view message)
{
    platform::ShowMessageBox(message, u"Vellum", platform::MessageButtons::Ok, platform::MessageIcon::Error,
                             window.get());
}

void OpenScriptEditor(Application& application, const platform::DeviceFolder& folder)
{
    ScriptEditor(application, folder).RunModeless();
}

} // namespace vellum
