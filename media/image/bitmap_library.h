// The bitmap classes for scripts: TBitmap, then TBitmapView.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::media {

void RegisterBitmapClasses(Interpreter& ip);

// TBitmap alone (media/image/bitmap_class.cpp).
void RegisterBitmapClass(Interpreter& ip);

} // namespace vellum::media
