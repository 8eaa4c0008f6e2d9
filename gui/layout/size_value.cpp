#include "gui/layout/size_value.h"

#include "engine/core/string_object.h"
#include "gui/style/length.h"
#include "gui/view/view.h"

#include <algorithm>

namespace vellum::gui {

SizeValue ReadSize(View& view, const Value& value, bool vertical)
{
    if (const auto pixels = LengthInPixels(view, value, vertical)) {
        return {SizeValue::Kind::Pixels, std::max(0, *pixels)};
    }
    if (!value.IsStr()) return {};
    const WideText textUnits(value.str);
    const std::u16string_view text = textUnits.View();
    if (text == u"*") return {SizeValue::Kind::Stars, 1};
    if (text.size() == 2 && text[1] == u'*' && text[0] >= u'1' && text[0] <= u'9') {
        return {SizeValue::Kind::Stars, text[0] - u'0'};
    }
    if (text == u"auto") return {SizeValue::Kind::Auto, 0};
    return {};
}

int32_t AutoSize(View& child, bool vertical)
{
    return std::clamp(vertical ? child.AutoHeightOf() : child.AutoWidthOf(), 0, kLargestLength);
}

} // namespace vellum::gui
