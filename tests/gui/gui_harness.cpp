#include "gui/gui_harness.h"

#include "core/string_object.h"
#include "core/unicode.h"
#include "gui/gui_library.h"
#include "gui/view/view_binding.h"
#include "host/core/core_library.h"
#include "platform/desktop/message_box.h"
#include "platform/draw/qt_canvas.h"

#include <QPainter>

namespace vellum::test {

GuiHarness::GuiHarness() : ip(RegisterCoreLibrary)
{
    // A MsgBox in a test prints its text instead of waiting for a click.
    platform::SetConsoleMode(true);
    gui::RegisterGuiLibrary(ip);
    form = ip.Make<TestForm>(ip);
    // Kept reachable for the collector through a global of its own.
    ip.SetGlobal(u"gTestForm", Value::Pointer(form));
}

std::string GuiHarness::Run(std::string_view source)
{
    ip.RunSource(FromUtf8(source));
    const std::string id = ToUtf8(ip.ErrorIdentifier());
    ip.ClearError();
    return id;
}

std::string GuiHarness::Text(std::u16string_view global)
{
    return ToUtf8(ip.ToString(ip.GetGlobal(global), false, false)->View());
}

gui::View* GuiHarness::Build(std::u16string_view global, const platform::Rect& rect, int32_t dpi)
{
    const Value tree = ip.GetGlobal(global);
    if (!tree.IsTable()) return nullptr;
    form->dpiX = form->dpiY = dpi;
    form->table = ip.NewTable();
    ip.SetGlobal(u"gTestFormTable", Value::Table(form->table));
    gui::View* root = gui::CreateView(ip, nullptr, form, tree.table);
    form->root = root;
    if (root == nullptr) return nullptr;
    root->SetRect(rect);
    root->Arrange(nullptr);
    return root;
}

QImage GuiHarness::Paint(gui::View* root)
{
    QImage image(root->rect.Width(), root->rect.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::QtCanvas canvas(painter);
    root->Paint(canvas, root->rect);
    return image;
}

platform::Color PixelAt(const QImage& image, int x, int y)
{
    const QRgb rgb = image.pixel(x, y);
    return platform::Rgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace vellum::test
