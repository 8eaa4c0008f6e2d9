#include "gui/gui_harness.h"

#include "engine/core/string_object.h"
#include "engine/core/unicode.h"
#include "gui/gui_library.h"
#include "host/corelib/core_library.h"
#include "platform/desktop/message_box.h"
#include "platform/draw/qt_canvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace vellum::test {

GuiHarness::GuiHarness() : ip(RegisterCoreLibrary)
{
    // A MsgBox in a test prints its text instead of waiting for a click.
    platform::SetConsoleMode(true);
    gui::RegisterGuiLibrary(ip);
    TableObject* formTable = ip.NewTable();
    ip.SetGlobal(u"gTestFormTable", Value::Table(formTable));
    form = ip.Make<gui::Form>(ip, formTable);
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

void GuiHarness::Ok(std::string_view source) { EXPECT_EQ(Run(source), "errOK") << source; }

std::string GuiHarness::Text(std::u16string_view global)
{
    return ToUtf8(ip.ToString(ip.GetGlobal(global), false, false)->Utf16());
}

std::string GuiHarness::Eval(const std::string& expression)
{
    Ok("result = " + expression);
    return Text(u"result");
}

std::string GuiHarness::TakeLog()
{
    const std::string log = Text(u"gLog");
    Ok("gLog = ''");
    return log;
}

gui::View* GuiHarness::Build(std::u16string_view global, const platform::Rect& rect, int32_t dpi)
{
    return Build(global, rect, dpi, dpi);
}

gui::View* GuiHarness::Build(std::u16string_view global, const platform::Rect& rect, int32_t dpiX, int32_t dpiY)
{
    const Value tree = ip.GetGlobal(global);
    return tree.IsTable() ? form->BuildWithoutWindow(tree.table, rect, dpiX, dpiY) : nullptr;
}

QImage GuiHarness::Paint(gui::View* root)
{
    const platform::Rect& rect = root->Bounds();
    return DrawOnWhite(rect.Width(), rect.Height(), [&](platform::Canvas& canvas) { root->Paint(canvas, rect); });
}

void Drag(QWidget* w, QPoint p)
{
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QImage DrawOnWhite(int width, int height, const std::function<void(platform::Canvas&)>& draw)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::QtCanvas canvas(painter);
    draw(canvas);
    return image;
}

platform::Color PixelAt(const QImage& image, int x, int y)
{
    const QRgb rgb = image.pixel(x, y);
    return platform::Rgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

platform::Rect InkBounds(const QImage& image)
{
    platform::Rect ink{image.width(), image.height(), -1, -1};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (PixelAt(image, x, y) == kWhite) continue;
            ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
        }
    }
    return ink;
}

} // namespace vellum::test
