// The Qt side of the message box. A program that shows windows installs it
// before the first box; until then boxes go to the terminal.
#pragma once

namespace vellum::platform {

void InstallDesktopMessageBox();

} // namespace vellum::platform
