// How native code finds and makes the views of script tables.
#pragma once

#include "engine/core/table_object.h"
#include "engine/core/value.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>

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
// The most levels a tree of views may have, its root included.
inline constexpr int32_t kDeepestView = 1000;
// Calls the table's Create, then attaches the view it made to parent and
// form; none when an error is pending afterwards or Create made no view.
// A view that would lie deeper than kDeepestView raises "Out of memory".
View* CreateView(Interpreter& ip, View* parent, Form* form, TableObject* table);
// What a handler field that holds something other than a function means.
enum class NonFunction : uint8_t {
    // Its value is the answer, as for "OnClose = false".
    isAnswer,
    // The handler must be a function: the call raises a script error.
    isError,
};

// Makes a handler's one argument; called only once the handler is known
// to be a function, so no argument is built for a view that does not listen.
using HandlerArgument = std::function<Value()>;

// The handler path of views and forms: looks up `name` in the table (and
// its parents) once and calls it with the table as `this` and the argument,
// if any. Nothing when the table is none or the field null. The table stays
// rooted for the call, and the refreshes the call asks for are the script's
// (RefreshCause), even inside a relayout the desktop caused.
std::optional<Value> CallScriptHandler(Interpreter& ip, TableObject* table, std::u16string_view name,
                                       NonFunction rule = NonFunction::isAnswer, const HandlerArgument& argument = {});
// A script method the library calls with arguments (a list's "SetItem", a
// menu entry's "action"): CallMethod, then EndLoopsAfterError.
Value CallScriptMethod(Interpreter& ip, TableObject* table, std::u16string_view name,
                       std::initializer_list<Value> args = {});
// An app whose handler failed must not sit on screen with its handlers
// doing nothing, and in console mode no one is there to close its form:
// in every mode, every loop the interpreter runs ends, so that its
// top-level code returns and the error is reported at once. Every call of
// script code from an event goes through here (CallScriptHandler,
// CallScriptMethod).
void EndLoopsAfterError(Interpreter& ip);
// The table of a point in DIP: {x = ..., y = ...}.
TableObject* NewPointTable(Interpreter& ip, int32_t x, int32_t y);
// The pixels of a point table's "x" and "y", truncated; (0, 0) when either
// is not a number.
void PointOfTable(Interpreter& ip, TableObject* point, int32_t& x, int32_t& y);

} // namespace vellum::gui
