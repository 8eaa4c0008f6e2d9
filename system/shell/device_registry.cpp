#include "system/shell/device_registry.h"

#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"

namespace vellum::system {

RegistryFile DeviceRegistry(Interpreter& ip)
{
    const std::optional<std::filesystem::path> file = ip.Paths().HostPath(u"\\registry.reg");
    return file ? RegistryFile::Load(*file) : RegistryFile();
}

} // namespace vellum::system
