// The script editor's text control, over a native control of kind
// ScriptText: the text with CR LF line ends and positions that count a
// CR LF as two characters, as a script run from the text counts them.
// Every operation does nothing (and answers "") over no such control.
#pragma once

#include "platform/controls/native_control.h"

#include <cstdint>
#include <string>
#include <string_view>

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
    // The window commands that Ctrl+R and F5 send, and Escape and Ctrl+Break.
    void SetCommands(int32_t run, int32_t stop);

private:
    ScriptTextWidget* widget;
};

} // namespace vellum::platform
