// Reads the bytes as a registry export file, then walks every key it made
// and reads every value the walk can name.
#include "tests/fuzz/fuzz_bench.h"

#include "system/shell/registry_file.h"

#include <span>
#include <string>
#include <vector>

namespace {

// Visits the subkeys below key, depth first, reading a few values of each.
void Walk(const vellum::system::RegistryFile& registry, const std::u16string& key, int depth)
{
    if (depth > 64) return;
    registry.HasKey(key);
    registry.Value(key, u"");
    registry.String(key, u"InstallDir");
    for (const std::u16string& name : registry.Subkeys(key)) {
        registry.Value(key, name);
        Walk(registry, key.empty() ? name : key + u'\\' + name, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const auto file = vellum::fuzz::WriteDeviceFile("registry.reg", std::span<const uint8_t>(data, size));
    const auto registry = vellum::system::RegistryFile::Load(file);
    for (const char16_t* hive : {u"HKEY_LOCAL_MACHINE", u"HKEY_CURRENT_USER", u"HKEY_CLASSES_ROOT"}) {
        Walk(registry, hive, 0);
    }
    return 0;
}
