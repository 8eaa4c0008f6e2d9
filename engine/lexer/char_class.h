// Character classes of the lexer. They follow Unicode for letters and
// white space but take only ASCII digits, since only those form numbers;
// they do not depend on the process locale.
#pragma once

namespace vellum {

bool IsSpaceUnit(char16_t c);
bool IsLetterUnit(char16_t c);
inline bool IsDigitUnit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace vellum
