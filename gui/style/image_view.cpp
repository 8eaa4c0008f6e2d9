#include "gui/style/image_view.h"

#include "engine/core/string_object.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/view_property.h"
#include "platform/draw/picture.h"

#include <algorithm>

namespace vellum::gui {

namespace {

enum class Mode { Natural, Stretch, Uniform };

Mode ModeOf(const Value& mode)
{
    if (mode.IsStr() && mode.str->Equals(u"uniform")) return Mode::Uniform;
    if (mode.IsStr() && mode.str->Equals(u"stretch")) return Mode::Stretch;
    return Mode::Natural;
}

// "blend" in percent, 0 to 100; anything else is opaque.
int32_t OpacityOf(const Value& blend)
{
    int32_t percent;
    if (!Interpreter::ValueToInt(blend, percent) || percent < 0 || percent > 100) percent = 100;
    return percent * 255 / 100;
}

} // namespace

ImageView::ImageView(Interpreter& ip_) : View(ip_) {}

ImageView::~ImageView() = default;

void ImageView::Release()
{
    loaded.reset();
    fileChosen = false;
    fileName.clear();
    hostFile.reset();
}

const platform::Picture* ImageView::CurrentPicture()
{
    const Value image = ViewProperty(*this, u"image");
    if (image.IsNull()) return nullptr;
    if (image.tag == Tag::Binary) {
        // Another library's picture: drawn, never freed here.
        Release();
        return static_cast<const platform::Picture*>(image.binary);
    }
    const std::u16string name(ip.ToString(image, false, true)->Utf16());
    if (fileChosen && name == fileName) return loaded.get();
    // A name that differs only in case leads to the same file of the
    // device folder, which is not read again.
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(name);
    if (!fileChosen || host != hostFile) {
        loaded.reset();
        if (host) loaded = platform::Picture::Load(*host);
        hostFile = host;
    }
    fileChosen = true;
    fileName = name;
    return loaded.get();
}

platform::Size ImageView::NaturalSize()
{
    const platform::Picture* picture = CurrentPicture();
    return picture != nullptr ? picture->Dimensions() : platform::Size{};
}

int32_t ImageView::MeasureHeight()
{
    const Margins margins = StyleMargins(*this);
    return ClampPixels(int64_t{NaturalSize().height} + margins.top + margins.bottom);
}

int32_t ImageView::MeasureWidth()
{
    const Margins margins = StyleMargins(*this);
    return ClampPixels(int64_t{NaturalSize().width} + margins.left + margins.right);
}

void ImageView::Draw(Canvas& canvas, const Rect&)
{
    // Every property is read before the picture, which stays valid only
    // while no script code runs.
    const Style style(*this);
    const Rect content = GetContentRect();
    const Mode mode = ModeOf(ViewProperty(*this, u"mode"));
    const int32_t opacity = OpacityOf(ViewProperty(*this, u"blend"));
    const platform::Picture* picture = CurrentPicture();
    if (picture == nullptr) return;
    const platform::Size natural = picture->Dimensions();

    Rect target = content;
    if (mode == Mode::Natural) {
        target = PlaceInRect(content, StyleAlign(style), StyleVAlign(style), natural.width, natural.height);
    }
    const int64_t w = target.Width();
    const int64_t h = target.Height();
    if (w <= 0 || h <= 0 || natural.width <= 0 || natural.height <= 0) return;
    int64_t width = w;
    int64_t height = h;
    if (mode == Mode::Uniform) {
        // The whole picture in proportion, from the top-left corner.
        if (static_cast<double>(natural.width) / w > static_cast<double>(natural.height) / h) {
            height = w * natural.height / natural.width;
        } else {
            width = h * natural.width / natural.height;
        }
    }
    // A picture larger than the view stays inside it.
    canvas.PushClip(content);
    const Rect drawn{target.left, target.top, ClampPixels(target.left + width - 1),
                     ClampPixels(target.top + height - 1)};
    canvas.DrawPicture(*picture, drawn, opacity);
    canvas.PopClip();
}

} // namespace vellum::gui
