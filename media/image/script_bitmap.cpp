#include "media/image/script_bitmap.h"

#include "engine/vm/class_binding.h"

namespace vellum::media {

DibImage* BitmapImage(Interpreter& ip, TableObject* table)
{
    auto* bitmap = NativeOf<ScriptBitmap>(ip, table);
    return bitmap != nullptr ? &bitmap->image : nullptr;
}

} // namespace vellum::media
