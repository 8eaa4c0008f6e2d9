// File names compared without regard to case, the way the device folder
// matches the names scripts give it.
#pragma once

#include <string>
#include <string_view>

namespace vellum::platform {

// The name with every character case-folded (Unicode simple case folding,
// so a surrogate pair stays two units and the length never changes).
std::u16string FoldNameCase(std::u16string_view name);

} // namespace vellum::platform
