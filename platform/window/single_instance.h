// One running instance per device folder. The lock is a local socket named
// after the main window class and the device folder: a second start on the
// same folder finds it, asks the first instance to bring its window to the
// front and exits; other folders run side by side.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

namespace vellum::platform {

class SingleInstance {
public:
    // Claims the device folder for this process, or gives nothing when
    // another instance holds it (which has then been asked to raise its
    // window). onRaise runs in this process's event loop whenever a later
    // start asks for the window.
    static std::unique_ptr<SingleInstance> Claim(const std::filesystem::path& deviceFolder,
                                                 std::function<void()> onRaise);

    virtual ~SingleInstance() = default;
};

} // namespace vellum::platform
