// The class tables scripts derive their views from (TText, TRow, ...): each
// holds the common view methods, the class's Create and its own methods.
#pragma once

#include "engine/core/table_object.h"
#include "engine/core/value.h"
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"

#include <string_view>

namespace vellum::gui {

class View;

// Makes a class table with the common view methods and create as "Create",
// stores it as the global name and gives it, for the class's own methods.
TableObject* RegisterViewClass(Interpreter& ip, std::u16string_view name, NativeFunction create);

// Whether `this` has a view of its own in a shown form's tree. Create then
// keeps it: a second view would leave the tree holding a view its table no
// longer names.
bool ThisHasPlacedView(Interpreter& ip);
// Ties a new view to `this`, the view to the table at once.
void AttachNewView(Interpreter& ip, View* view);

// The Create method of a view class: no arguments; makes the native view
// and ties it to this, unless this is placed in a shown form already.
template <class ViewClass>
uint32_t CreateViewObject(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (!ThisHasPlacedView(ip)) AttachNewView(ip, ip.Make<ViewClass>(ip));
    return 0;
}

// The view of `this` in a method; none when the table has no view.
View* ThisView(Interpreter& ip);

} // namespace vellum::gui
