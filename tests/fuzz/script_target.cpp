// Compiles and runs a source text with the core library: UTF-16LE after
// the mark FF FE, else UTF-8 (so that mutations of plain text stay text).
#include "tests/fuzz/fuzz_bench.h"

#include "engine/core/text_codec.h"
#include "engine/core/unicode.h"

#include <span>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    const std::span<const uint8_t> bytes(data, size);
    const std::u16string text = vellum::StartsWithUtf16LeMark(bytes)
                                    ? vellum::DecodeUtf16Le(bytes.subspan(2))
                                    : vellum::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto ip = vellum::fuzz::CoreInterpreter();
    vellum::fuzz::RunAndForget(*ip, text);
    return 0;
}
