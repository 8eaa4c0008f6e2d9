// Runs the bytes of a script file as the program reads one (UTF-16LE or
// UTF-8, a leading mark skipped); a file whose first unit is the token-file marker is
// a token stream read back instead of lexed.
#include "tests/fuzz/fuzz_bench.h"

#include "host/script_file.h"

#include <optional>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const auto file = vellum::fuzz::WriteDeviceFile("input.q9c", std::span<const uint8_t>(data, size));
    const std::optional<std::u16string> text = vellum::ReadScriptFile(file).text;
    if (!text) return 0;
    const auto ip = vellum::fuzz::CoreInterpreter();
    vellum::fuzz::RunAndForget(*ip, *text);
    return 0;
}
