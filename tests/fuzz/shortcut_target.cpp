// Reads the bytes as a shortcut file: its text, then its command line, with
// shell ids looked up in a registry that maps some of them onto each other.
#include "tests/fuzz/fuzz_bench.h"

#include "system/shell/registry_file.h"
#include "system/shell/shortcut.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

const vellum::system::RegistryFile& ShellIds()
{
    static const vellum::system::RegistryFile registry = vellum::system::RegistryFile::Parse(uR"(REGEDIT4
[HKEY_LOCAL_MACHINE\Software\Shell\Ids]
":CALENDAR"="\\Windows\\calendar.exe -week"
":LOOP"=":LOOP"
":A"=":B"
":B"=":A"
":EMPTY"=""
)");
    return registry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const std::vector<uint8_t> bytes(data, data + size);
    const std::u16string text = vellum::system::ShortcutText(bytes);
    const auto lookup = [](std::u16string_view id) {
        return ShellIds().String(u"HKEY_LOCAL_MACHINE\\Software\\Shell\\Ids", id);
    };
    vellum::system::ParseShortcut(text, lookup);
    return 0;
}
