#include "media/image/bitmap_library.h"

#include "media/image/bitmap_view_class.h"

namespace vellum::media {

void RegisterBitmapClasses(Interpreter& ip)
{
    RegisterBitmapClass(ip);
    RegisterBitmapViewClass(ip);
}

} // namespace vellum::media
