// How native code finds and makes the views of script tables.
#pragma once

#include "core/table_object.h"
#include "core/value.h"

namespace vellum {
class Interpreter;
}

namespace vellum::gui {

class Form;
class View;

// The View tied to the table (inherited ones count), else none.
View* ViewOfTable(Interpreter& ip, TableObject* table);
// A table whose "GetView" is a native function: it derives from a view class.
bool IsViewTable(Interpreter& ip, const Value& value);
// Calls the table's Create, then attaches the view it made to parent and
// form; none when an error is pending afterwards or Create made no view.
View* CreateView(Interpreter& ip, View* parent, Form* form, TableObject* table);
// The table of a point in DIP: {x = ..., y = ...}.
TableObject* NewPointTable(Interpreter& ip, int32_t x, int32_t y);

} // namespace vellum::gui
