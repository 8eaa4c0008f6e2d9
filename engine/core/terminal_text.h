// Text for the terminal goes out through stdio. The program sets up no C++
// stream: their first use costs every start the locale's set-up and
// hundreds of kilobytes of pages.
#pragma once

#include <cstdio>
#include <string_view>

namespace vellum {

// Writes text (UTF-8) to stream as it stands.
inline void WriteText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

} // namespace vellum
