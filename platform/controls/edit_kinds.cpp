// The control host's kinds for the two edit widgets: made in a parent,
// their changes told to the control's handler, their text set and read.
#include "platform/controls/control_bridge.h"
#include "platform/controls/edit_widget.h"

namespace vellum::platform {

namespace {

EditControl::Behaviour& BehaviourOf(QWidget& widget) { return dynamic_cast<EditControl::Behaviour&>(widget); }

template <class W>
QWidget* MakeEdit(QWidget& parent)
{
    return new W(&parent);
}

void ConnectEdit(QWidget& widget, ControlBridge& bridge)
{
    BehaviourOf(widget).changed = [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.TextChanged(); }); };
}

void SetEditText(QWidget& widget, const QString& text) { BehaviourOf(widget).SetText(text); }

QString EditText(const QWidget& widget) { return dynamic_cast<const EditControl::Behaviour&>(widget).Text(); }

} // namespace

const ControlKindTraits kLineEditTraits{MakeEdit<LineEditWidget>, ConnectEdit, SetEditText, EditText};
const ControlKindTraits kTextEditTraits{MakeEdit<TextEditWidget>, ConnectEdit, SetEditText, EditText};

} // namespace vellum::platform
