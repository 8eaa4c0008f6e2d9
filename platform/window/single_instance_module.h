// What the instance module (vellum-instance.so, the one part of the program
// that links Qt's network module) offers: the single-instance rule over a
// local socket. Only a run with windows on a desktop claims its device
// folder, so screenshots and console runs never load it.
#pragma once

#include "platform/window/single_instance.h"

namespace vellum::platform {

struct SingleInstanceModule {
    std::unique_ptr<SingleInstance> (*claim)(const std::filesystem::path& deviceFolder, std::function<void()> onRaise);
};

inline constexpr char kInstanceModuleFile[] = "vellum-instance.so";
inline constexpr char kInstanceModuleEntry[] = "vellum_instance_module";

} // namespace vellum::platform
