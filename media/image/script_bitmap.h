// The native object of a TBitmap table: one DibImage, owned by the
// collector and tied to the table.
#pragma once

#include "engine/core/gc_object.h"
#include "media/image/dib_image.h"

namespace vellum {
class Interpreter;
class TableObject;
} // namespace vellum

namespace vellum::media {

class ScriptBitmap final : public GcObject {
public:
    DibImage image;
};

// The image of a bitmap table: its native object when that is a
// ScriptBitmap, else null (no picture). Reads the field without running script code.
DibImage* BitmapImage(Interpreter& ip, TableObject* table);

} // namespace vellum::media
