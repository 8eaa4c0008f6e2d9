// Handheld file masks: "*" stands for any run of characters, "?" for one,
// letters match without regard to case, and a mask ending in ".*" also
// takes a name without any dot ("*.*" is every name).
#pragma once

#include <string_view>

namespace vellum::system {

bool MatchesMask(std::u16string_view name, std::u16string_view mask);

} // namespace vellum::system
