// The system's file open and save dialogs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vellum::platform {

struct FileDialogRequest {
    bool save = false;
    std::u16string title;
    // Name filters such as "Text files (*.txt)"; none shows every file.
    std::vector<std::u16string> nameFilters;
    std::filesystem::path directory;
    // The name proposed in the save dialog.
    std::u16string fileName;
};

// Shows the dialog without owner window and gives the path the user
// chose, or none when cancelled. The program's own cursor (a wait cursor
// a script put up) is taken away while the dialog is open and put back
// afterwards. In console mode, or without a GUI, none at once.
std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request);

} // namespace vellum::platform
