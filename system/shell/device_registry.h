// The registry of the device: the file "\registry.reg" in the device
// folder (see registry_file.h). A device without the file has an empty
// registry. The file is read on each use, so edits count at once.
#pragma once

#include "system/shell/registry_file.h"

namespace vellum {
class Interpreter;
}

namespace vellum::system {

RegistryFile DeviceRegistry(Interpreter& ip);

} // namespace vellum::system
