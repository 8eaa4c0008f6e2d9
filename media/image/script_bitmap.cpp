#include "media/image/script_bitmap.h"

#include "vm/interpreter.h"

namespace vellum::media {

DibImage* BitmapImage(Interpreter& ip, TableObject* table)
{
    if (table == nullptr) return nullptr;
    const Value object = ip.TableGet(table, u"pObject");
    auto* bitmap = object.tag == Tag::Ptr ? dynamic_cast<ScriptBitmap*>(object.object) : nullptr;
    return bitmap != nullptr ? &bitmap->image : nullptr;
}

} // namespace vellum::media
