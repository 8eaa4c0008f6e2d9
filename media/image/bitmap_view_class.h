// The TBitmapView class table scripts derive their bitmap views from: the
// common view methods with Create, SetBitmap, Zoom and Rect.
#pragma once

namespace vellum {
class Interpreter;
}

namespace vellum::media {

void RegisterBitmapViewClass(Interpreter& ip);

} // namespace vellum::media
