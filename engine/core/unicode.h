// Conversions between the engine's UTF-16 and UTF-8 at the edges.
#pragma once

#include <string>
#include <string_view>

namespace vellum {

// A unit UTF-8 cannot carry (a lone surrogate) becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Invalid sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);
// The bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view bytes);

} // namespace vellum
