// The claim through the instance module, loaded by the first claim.
#include "platform/modules/loadable_module.h"
#include "platform/window/single_instance_module.h"

namespace vellum::platform {

namespace {

// Without the module no later start can reach this one: running
// unreachable is better than not running at all.
class UnreachableInstance final : public SingleInstance {};

} // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(const std::filesystem::path& deviceFolder,
                                                     std::function<void()> onRaise)
{
    static const auto* const module = LoadModule<SingleInstanceModule>(kInstanceModuleFile, kInstanceModuleEntry);
    if (module == nullptr) return std::make_unique<UnreachableInstance>();
    return module->claim(deviceFolder, std::move(onRaise));
}

} // namespace vellum::platform
