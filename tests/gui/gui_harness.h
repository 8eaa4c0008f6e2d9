// A bench for GUI tests: an interpreter with the core library and every
// GUI class, a form that lends a resolution without a window, and helpers
// to build a view tree from script source, lay it out and paint it.
#pragma once

#include "engine/vm/interpreter.h"
#include "gui/form/form.h"
#include "gui/view/view.h"
#include "platform/draw/canvas.h"

#include <QImage>
#include <QPoint>

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace vellum::test {

class GuiHarness {
public:
    GuiHarness();
    GuiHarness(const GuiHarness&) = delete;
    GuiHarness& operator=(const GuiHarness&) = delete;

    // Runs UTF-8 source; gives the pending error's identifier ("errOK" when
    // none) and clears it.
    std::string Run(std::string_view source);
    // Runs UTF-8 source that must end without an error.
    void Ok(std::string_view source);
    // ToString of a global, unquoted and on one line.
    std::string Text(std::u16string_view global);
    // The value of a script expression as text (through the global "result").
    std::string Eval(const std::string& expression);
    // What the script's Log wrote to the global "gLog" since the last call.
    std::string TakeLog();
    // Builds the views of the table in a global under a form of that dpi,
    // places the root on rect and lays the tree out (Arrange without a window).
    gui::View* Build(std::u16string_view global, const platform::Rect& rect, int32_t dpi = 96);
    gui::View* Build(std::u16string_view global, const platform::Rect& rect, int32_t dpiX, int32_t dpiY);
    // The tree painted on white, the size of the root's rectangle.
    QImage Paint(gui::View* root);

    Interpreter ip;
    // A form without a window: views get its dpi; nothing is shown.
    gui::Form* form = nullptr;
};

// The colours the drawing tests paint with and look for.
inline constexpr platform::Color kWhite = platform::Rgb(255, 255, 255);
inline constexpr platform::Color kBlack = platform::Rgb(0, 0, 0);
inline constexpr platform::Color kRed = platform::Rgb(255, 0, 0);
inline constexpr platform::Color kBlue = platform::Rgb(0, 0, 255);
inline constexpr platform::Color kLime = platform::Rgb(0, 255, 0);
inline constexpr platform::Color kGreen = platform::Rgb(0, 128, 0);

// A move to p with the button down, as a dragging finger sends it.
void Drag(QWidget* w, QPoint p);

// A width x height picture on white with what draw paints on it.
QImage DrawOnWhite(int width, int height, const std::function<void(platform::Canvas&)>& draw);
// The pixel at (x, y) as a platform colour (0x00BBGGRR).
platform::Color PixelAt(const QImage& image, int x, int y);
// The smallest rectangle holding every pixel that is not white; empty when none is.
platform::Rect InkBounds(const QImage& image);

} // namespace vellum::test
