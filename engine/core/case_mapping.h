// Upper and lower case of UTF-16 text, the same on every machine.
//
// Scripts change case and compare without regard to case through these
// helpers alone, so the results never depend on the process locale. The
// mapping is Unicode's simple (one unit to one unit) case mapping for
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic (with its
// supplement); every other unit is left as it is.
#pragma once

#include <string>
#include <string_view>

namespace vellum {

char16_t UpperCaseUnit(char16_t c);
char16_t LowerCaseUnit(char16_t c);

std::u16string ToUpperCase(std::u16string_view text);
std::u16string ToLowerCase(std::u16string_view text);

// Equal after folding each unit to lower case of its upper case, so that
// variants such as final sigma or dotless i meet their plain letters.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace vellum
