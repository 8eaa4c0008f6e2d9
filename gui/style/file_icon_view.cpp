#include "gui/style/file_icon_view.h"

#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "gui/style/style.h"
#include "gui/style/view_property.h"
#include "platform/draw/file_icon.h"

namespace vellum::gui {

namespace {

constexpr int32_t kIconSize = 32; // DIP

} // namespace

void FileIconView::Draw(Canvas& canvas, const Rect&)
{
    const Style style(*this);
    const Rect content = GetContentRect();
    const std::u16string file = ViewText(*this, u"file");
    if (file.empty()) return;
    const std::optional<std::filesystem::path> host = ip.Paths().HostPath(file);
    if (!host) return;
    const platform::Picture* icon = platform::FileIcon(*host);
    if (icon == nullptr) return;
    const Rect box =
        PlaceInRect(content, StyleAlign(style), StyleVAlign(style), DipToPxX(kIconSize), DipToPxY(kIconSize));
    canvas.PushClip(content);
    canvas.DrawPicture(*icon, box);
    canvas.PopClip();
}

int32_t FileIconView::MeasureHeight()
{
    const Margins margins = StyleMargins(*this);
    return DipToPxY(kIconSize) + margins.top + margins.bottom;
}

int32_t FileIconView::MeasureWidth()
{
    const Margins margins = StyleMargins(*this);
    return DipToPxX(kIconSize) + margins.left + margins.right;
}

} // namespace vellum::gui
