#include "gui/style/view_property.h"

#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/view/view.h"

namespace vellum::gui {

Value ViewProperty(View& view, std::u16string_view name)
{
    return view.CallHandler(name).value_or(Value::Null());
}

std::u16string ViewText(View& view, std::u16string_view name)
{
    const Value value = ViewProperty(view, name);
    if (value.IsNull()) return {};
    return view.ip.ToString(value, false, true)->Utf16();
}

} // namespace vellum::gui
