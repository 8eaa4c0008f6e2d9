#include "media/image/bitmap_view.h"

#include "engine/vm/interpreter.h"
#include "gui/style/view_property.h"
#include "media/image/dib_image.h"
#include "media/image/image_drawing.h"
#include "media/image/script_bitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vellum::media {

namespace {

// trunc(n * z) held to 32 bits; a zoom that is not a number gives 0.
int32_t Scaled(int32_t n, double z)
{
    const double v = std::trunc(n * z);
    if (std::isnan(v)) return 0;
    return static_cast<int32_t>(std::clamp(v, double{INT32_MIN}, double{INT32_MAX}));
}

} // namespace

BitmapView::BitmapView(Interpreter& ip_) : View(ip_) {}

template <class Use>
void BitmapView::WithPicture(Use use)
{
    const gui::Rect content = GetContentRect();
    const Value bitmap = gui::ViewProperty(*this, u"bitmap");
    ValueRoot keep(ip, bitmap);
    const DibImage* image = bitmap.IsTable() ? BitmapImage(ip, bitmap.table) : nullptr;
    use(image, content, Place(image, content));
}

BitmapPlacement BitmapView::Place(const DibImage* image, const gui::Rect& content)
{
    if (image == nullptr || image->Width() <= 0 || image->Height() <= 0) return {};
    const int64_t w = image->Width();
    const int64_t h = image->Height();
    BitmapPlacement placement{content.left, content.top, 0, 0};
    if (zoom != 0) {
        // A negative size stands for the picture's own, as drawing takes it.
        placement.width = Scaled(image->Width(), zoom);
        placement.height = Scaled(image->Height(), zoom);
        if (placement.width < 0) placement.width = image->Width();
        if (placement.height < 0) placement.height = image->Height();
        return placement;
    }
    const int64_t rw = int64_t{content.right} - content.left;
    const int64_t rh = int64_t{content.bottom} - content.top;
    // A view laid out with no room fits nothing and keeps fitting, rather
    // than storing a negative scale that would stick.
    if (rw < 0 || rh < 0) return {};
    if (static_cast<double>(w) / static_cast<double>(h) > static_cast<double>(rw) / static_cast<double>(rh)) {
        placement.width = static_cast<int32_t>(rw);
        placement.height = static_cast<int32_t>(rw * h / w);
    } else {
        placement.height = static_cast<int32_t>(rh);
        placement.width = static_cast<int32_t>(rh * w / h);
    }
    zoom = static_cast<double>(placement.width) / static_cast<double>(w);
    return placement;
}

BitmapPlacement BitmapView::Placement()
{
    BitmapPlacement result;
    WithPicture([&](const DibImage*, const gui::Rect&, const BitmapPlacement& placement) { result = placement; });
    return result;
}

void BitmapView::Draw(gui::Canvas& canvas, const gui::Rect& clip)
{
    WithPicture([&](const DibImage* image, const gui::Rect& content, const BitmapPlacement& placement) {
        if (image == nullptr) return;
        // The picture stays inside the view, however far it is zoomed.
        const gui::Rect inside{std::max(clip.left, content.left), std::max(clip.top, content.top),
                               std::min(clip.right, content.right), std::min(clip.bottom, content.bottom)};
        DrawImage(canvas, *image, placement.left, placement.top, placement.width, placement.height, inside);
    });
}

} // namespace vellum::media
