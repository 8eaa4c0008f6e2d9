#include "platform/editor/script_text.h"

#include "platform/controls/control_bridge.h"
#include "platform/editor/script_text_widget.h"
#include "platform/qt_convert.h"

namespace vellum::platform {

ScriptText::ScriptText(NativeControl* control)
    : widget(control != nullptr ? WidgetAs<ScriptTextWidget>(*control) : nullptr)
{
}

void ScriptText::SetText(std::u16string_view text)
{
    if (widget != nullptr) widget->SetText(ToQString(text));
}

std::u16string ScriptText::Text() const { return widget != nullptr ? ToU16String(widget->Text()) : std::u16string(); }

void ScriptText::PlaceCaret(int32_t position)
{
    if (widget != nullptr) widget->PlaceCaret(position);
}

void ScriptText::SetTabStop(int32_t dialogUnits)
{
    if (widget != nullptr) widget->SetTabStop(dialogUnits);
}

void ScriptText::SetCommands(const Commands& ids)
{
    if (widget != nullptr) widget->SetCommands({ids.run, ids.stop, ids.stepOver, ids.stepInto, ids.stepOut});
}

std::vector<int32_t> ScriptText::BreakpointLines() const
{
    return widget != nullptr ? widget->Edit().BreakpointLines() : std::vector<int32_t>();
}

void ScriptText::OnBreakpointsChanged(std::function<void()> changed)
{
    if (widget != nullptr) widget->Edit().OnBreakpointsChanged(std::move(changed));
}

void ScriptText::ShowStop(DebugStop& stop, std::function<int32_t(const DebugFrame&)> lineOf)
{
    if (widget != nullptr) widget->ShowStop(stop, std::move(lineOf));
}

void ScriptText::EndStop()
{
    if (widget != nullptr) widget->EndStop();
}

} // namespace vellum::platform
