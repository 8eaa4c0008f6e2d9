// The script editor's text control, over a native control of kind
// ScriptText: the text with CR LF line ends and positions that count a
// CR LF as two characters, as a script run from the text counts them.
// Every operation does nothing (and answers "") over no such control.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {
class DebugStop;
struct DebugFrame;
} // namespace vellum

namespace vellum::platform {

class ScriptTextWidget;

class ScriptText {
public:
    explicit ScriptText(NativeControl* control);

    // Any line ends; the undo history starts afresh.
    void SetText(std::u16string_view text);
    std::u16string Text() const;
    // An empty selection at the position, scrolled into view.
    void PlaceCaret(int32_t position);
    // One tab stop every n dialog units.
    void SetTabStop(int32_t dialogUnits);
    // The window commands that Ctrl+R and F5 send, Escape and Ctrl+Break,
    // and F10, F11 and Shift+F11.
    struct Commands {
        int32_t run, stop, stepOver, stepInto, stepOut;
    };
    void SetCommands(const Commands& ids);
    // The lines (from 1) that hold a breakpoint, and what to call when they change.
    std::vector<int32_t> BreakpointLines() const;
    void OnBreakpointsChanged(std::function<void()> changed);
    // Shows where a run stopped: the panel below the text with the stack
    // and the variables, and the line of the frame chosen there shaded.
    // lineOf gives a frame's line in this text, 0 when it lies elsewhere.
    void ShowStop(DebugStop& stop, std::function<int32_t(const DebugFrame&)> lineOf);
    // The run goes on: the panel goes, no line is shaded.
    void EndStop();

private:
    ScriptTextWidget* widget;
};

} // namespace vellum::platform
