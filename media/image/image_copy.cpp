// Copying a whole picture and handing a finished result to its target:
// the steps every operation shares.
#include "media/image/image_operations.h"

#include <cstring>
#include <utility>

namespace vellum::media {

bool CopyImage(const DibImage& source, DibImage& out)
{
    if (source.Empty()) {
        out.Release();
        return false;
    }
    if (!out.Create(static_cast<uint32_t>(source.Width()), static_cast<uint32_t>(source.Height()), source.BitCount(),
                    source.Type())) {
        return false;
    }
    std::memcpy(out.Palette(), source.Palette(), 4 * size_t{source.ColorsUsed()});
    std::memcpy(out.Bits(), source.Bits(), size_t{source.Stride()} * static_cast<size_t>(source.Height()));
    return true;
}

void Deliver(DibImage& result, DibImage& source, DibImage* dest)
{
    (dest != nullptr ? *dest : source) = std::move(result);
}

} // namespace vellum::media
