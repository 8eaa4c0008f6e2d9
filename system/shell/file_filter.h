// The file dialogs' filter text: descriptions and patterns separated by
// "|", as in 'Text files|*.txt;*.log|All|*.*'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellum::system {

// The filter as name filters of the form "Text files (*.txt *.log)", one
// per description|patterns pair. Only the first 260 characters count; a
// description without patterns is dropped; "*.*" matches every file, also
// names without a dot.
std::vector<std::u16string> NameFilters(std::u16string_view filter);

} // namespace vellum::system
