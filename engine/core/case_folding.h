// Comparing text without regard to case, the same on every machine.
//
// FoldCase is Unicode's simple case folding (one code point to one code
// point): the rule file names and registry names are compared by. Scripts'
// own upper and lower case live in case_mapping.h. AsciiLower is for names
// that are ASCII by definition (cursor names, file extensions), where no
// other letter may fold onto them.
#pragma once

#include <string>
#include <string_view>

namespace vellum {

char32_t FoldCase(char32_t c);
// Surrogate pairs fold as the code point they make; a lone surrogate stays.
std::u16string FoldCase(std::u16string_view text);

constexpr char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; }
// Whether text is lowerWord (lower-case ASCII) without regard to ASCII case.
bool EqualsAsciiWord(std::u16string_view text, std::u16string_view lowerWord);

} // namespace vellum
