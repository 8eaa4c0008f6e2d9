// Loads the bytes as a picture through TBitmap.FromFile, then runs every
// processing method on it at small sizes, into itself and into another
// bitmap, and saves and reloads the result.
#include "tests/fuzz/fuzz_bench.h"

#include <span>

namespace {

// A picture larger than a thumbnail is first shrunk, so that each input
// costs little; the shrinking itself runs on the full picture, up to a
// size that keeps the fuzzer fast (loading alone is checked beyond it).
constexpr char16_t kProcessing[] = uR"(
function Run()
    var b = TBitmap()
    b.FromFile("\input.img")
    var s = b.Size()
    if s.width * s.height > 65536
        return null
    end
    if s.width * s.height > 4096
        b.Size(24)
    end
    var d = TBitmap()
    b.Size(5, 3, d)
    b.Size(1, 1, d)
    b.Size(40, -1, d)
    d.Size(2)
    b.Crop(1, 1, 3, 2, d)
    b.Crop(-5, 100, 7, -2, d)
    b.Crop(0, 0, 0, 0)
    b.Rotate(90, d)
    d.Rotate(270)
    b.Rotate(180)
    b.Rotate(45)
    b.BrightnessContrast(40, -30, d)
    b.BrightnessContrast(-255, 100)
    b.BrightnessContrast(300, -200, d)
    b.BlackAndWhite(d)
    b.BlackAndWhite()
    d.Save("\output.jpg")
    var again = TBitmap()
    again.FromFile("\output.jpg")
    again.Size()
end
)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const vellum::fuzz::InputLimits limits;
    vellum::fuzz::RunOnFile("input.img", std::span<const uint8_t>(data, size), kProcessing);
    return 0;
}
