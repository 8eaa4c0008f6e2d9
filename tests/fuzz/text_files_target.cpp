// Reads the bytes as a text file in every way scripts can: LoadText as
// lines and as separated fields, FromFile, and a FileStream read line by
// line in the encodings SetEncoding offers.
#include "tests/fuzz/fuzz_bench.h"

#include <span>

namespace {

constexpr char16_t kReading[] = uR"(
function Run()
    var lines = LoadText("\input.txt")
    var rows = LoadText("\input.txt", ";")
    var fields = LoadText("\input.txt", ",")
    var value = FromFile("\input.txt")
    AsStr(value)
    for page in {1252, 65001, 1200, 437}
        var s = File("\input.txt").OpenRead()
        if s != null
            s.SetEncoding(page)
            var line = s.ReadLine()
            var n = 0
            while line != null and n < 2000
                line = s.ReadLine()
                n = n + 1
            end
            s.Close()
        end
    end
end
)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    vellum::fuzz::RunOnFile("input.txt", std::span<const uint8_t>(data, size), kReading);
    return 0;
}
