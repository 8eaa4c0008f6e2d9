// The map from ControlKind to the kinds' traits; each kind's widget and
// signals live in its own file (button_control.cpp, combo_control.cpp, ...).
#include "platform/controls/control_kinds.h"

#include "platform/controls/edit_widget.h"
#include "platform/editor/script_text_widget.h"

namespace vellum::platform {

const ControlKindTraits& TraitsOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Button:
        return kButtonTraits;
    case ControlKind::ComboBox:
        return kComboBoxTraits;
    case ControlKind::ScrollBar:
        return kScrollBarTraits;
    case ControlKind::Tabs:
        return kTabsTraits;
    case ControlKind::LineEdit:
        return kLineEditTraits;
    case ControlKind::TextEdit:
        return kTextEditTraits;
    case ControlKind::ScriptText:
        return kScriptTextTraits;
    }
    return kButtonTraits;
}

} // namespace vellum::platform
