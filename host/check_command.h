// vellum --check FILE...: compiles scripts without running them and prints
// each one's error in the form editors and CI tools parse,
// FILE:LINE:COLUMN: error: MESSAGE.
#pragma once

#include "host/application.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace vellum {

// Each file compiles with its own folder as the device folder, so its
// includes are found as a run finds them; an error inside an included file
// names that file. Gives 0 when every file compiled, else 1.
int CheckScripts(const std::vector<std::filesystem::path>& files, const Application::LibraryInstaller& libraries,
                 std::FILE* out);

} // namespace vellum
