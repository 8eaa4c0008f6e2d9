// TBitmapView: shows the TBitmap its "bitmap" property names, at a zoom
// factor or fitted into its content rectangle. The bitmap is looked up on
// every use, so a script that loads, processes or replaces the bitmap only
// needs to call Redraw. Fitting remembers the scale it found as the zoom:
// the picture keeps that size when the view grows, until the script asks
// for a fit again with Zoom(0).
#pragma once

#include "gui/view/view.h"

#include <cstdint>

namespace vellum::media {

class DibImage;

// Where the picture goes, in pixels of the form's client area; all 0 when
// there is no picture.
struct BitmapPlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const BitmapPlacement&) const = default;
};

class BitmapView final : public gui::View {
public:
    explicit BitmapView(Interpreter& ip);

    void Draw(gui::Canvas& canvas, const gui::Rect& clip) override;
    // The placement drawing uses; may fit, and so store the zoom.
    BitmapPlacement Placement();

    // 0 means "fit into the content rectangle".
    double zoom = 0;

private:
    // Reads the content rectangle and the bitmap (both may run script
    // code), then calls use(image or null, content, placement) while
    // nothing can collect the bitmap.
    template <class Use>
    void WithPicture(Use use);
    BitmapPlacement Place(const DibImage* image, const gui::Rect& content);
};

} // namespace vellum::media
