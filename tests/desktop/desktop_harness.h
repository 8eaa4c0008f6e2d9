// The bench of the desktop tests that drive a form: a GuiHarness whose
// forms open as real windows on the display (Qt's xcb platform under a
// window manager), a small device at 96 dpi so that DIP are pixels, and a
// way to run steps inside a form's loop once its window has the focus.
#pragma once

#include "gui/form_loop.h"
#include "gui/gui_harness.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <string>

class QWidget;

namespace vellum::test {

class DesktopFormTest : public ::testing::Test {
protected:
    // gForm, gLog and Log(text) as the script's globals, TForm registered.
    DesktopFormTest();
    ~DesktopFormTest() override;

    // Runs "gForm.Show()"; steps run inside the form's loop once the window
    // titled title is shown and active, then the window is closed (if the
    // steps left it open). Gives the error identifier of the run.
    std::string ShowForm(const QString& title, const std::function<void(QWidget* window)>& steps);

    GuiHarness h;
    FormWatchdog watchdog;
};

// Waits until done() holds, processing events; false when it never did.
bool WaitFor(const std::function<bool()>& done);

} // namespace vellum::test
