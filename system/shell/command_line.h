// Command lines as the handheld passes them to programs: one text, which
// the program splits into its arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum::system {

// The arguments of a command line, split the way the handheld's programs
// split theirs: spaces and tabs separate arguments outside quotation
// marks; 2n backslashes before a quotation mark give n backslashes and the
// mark opens or closes a quoted part, 2n+1 give n and a literal mark; two
// marks inside a quoted part give one literal mark; other backslashes are
// literal.
std::vector<std::u16string> SplitCommandLine(std::u16string_view line);

} // namespace vellum::system
