#include "gui/style/length.h"

#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "gui/view/view.h"

#include <algorithm>
#include <string_view>

namespace vellum::gui {

std::optional<int32_t> PixelText(const Value& value)
{
    if (!value.IsStr()) return std::nullopt;
    const WideText textUnits(value.str);
    const std::u16string_view text = textUnits.View();
    if (text.size() < 3 || text.size() > 19 || !text.ends_with(u"px")) return std::nullopt;
    const std::u16string_view number = text.substr(0, text.size() - 2);
    size_t i = 0;
    while (i < number.size() && number[i] == u' ') ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == u'+' || number[i] == u'-')) negative = number[i++] == u'-';
    if (i == number.size()) return std::nullopt;
    // At most 17 digits: the sum stays far inside 64 bits.
    int64_t n = 0;
    for (; i < number.size(); ++i) {
        if (number[i] < u'0' || number[i] > u'9') return std::nullopt;
        n = n * 10 + (number[i] - u'0');
    }
    if (n == 0) return std::nullopt;
    if (negative) n = -n;
    return static_cast<int32_t>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}

std::optional<int32_t> LengthInPixels(View& view, const Value& value, bool vertical)
{
    std::optional<int32_t> pixels;
    int32_t dip;
    if (Interpreter::ValueToInt(value, dip)) {
        // Held first, so that the conversion cannot leave 32 bits.
        dip = std::clamp(dip, -kLargestLength, kLargestLength);
        pixels = vertical ? view.DipToPxY(dip) : view.DipToPxX(dip);
    } else {
        pixels = PixelText(value);
    }
    if (!pixels) return std::nullopt;
    return std::clamp(*pixels, -kLargestLength, kLargestLength);
}

} // namespace vellum::gui
