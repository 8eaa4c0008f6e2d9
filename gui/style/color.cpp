#include "gui/style/color.h"

#include "engine/core/string_object.h"
#include "engine/core/table_object.h"
#include "engine/vm/interpreter.h"

#include <string_view>

namespace vellum::gui {

namespace {

using platform::Rgb;

struct NamedColor {
    std::u16string_view name;
    platform::Color color;
};

constexpr NamedColor kNamedColors[] = {
    {u"aqua", Rgb(0, 255, 255)},    {u"black", Rgb(0, 0, 0)},       {u"blue", Rgb(0, 0, 255)},
    {u"fuchsia", Rgb(255, 0, 255)}, {u"gray", Rgb(128, 128, 128)},  {u"green", Rgb(0, 128, 0)},
    {u"lime", Rgb(0, 255, 0)},      {u"maroon", Rgb(128, 0, 0)},    {u"navy", Rgb(0, 0, 128)},
    {u"olive", Rgb(128, 128, 0)},   {u"purple", Rgb(128, 0, 128)},  {u"red", Rgb(255, 0, 0)},
    {u"silver", Rgb(192, 192, 192)}, {u"teal", Rgb(0, 128, 128)},   {u"white", Rgb(255, 255, 255)},
    {u"yellow", Rgb(255, 255, 0)},
};

uint32_t Channel(const TableObject& table, int index)
{
    int32_t n = 0;
    Interpreter::ValueToInt(table.Get(Value::Number(index)), n);
    return static_cast<uint32_t>(n) & 0xFF;
}

} // namespace

std::optional<platform::Color> ParseColor(const Value& value)
{
    if (value.IsStr()) {
        for (const NamedColor& named : kNamedColors) {
            if (value.str->Equals(named.name)) return named.color;
        }
        return std::nullopt;
    }
    if (value.IsTable()) return Rgb(Channel(*value.table, 0), Channel(*value.table, 1), Channel(*value.table, 2));
    return std::nullopt;
}

} // namespace vellum::gui
