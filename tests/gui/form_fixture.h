// The bench of the tests that show forms: a small device at 96 dpi (so
// that DIP are pixels), the form classes, the script globals gForm, gLog
// and result with Log(text) appending to gLog, and a watchdog that ends a
// loop a failing test left running.
#pragma once

#include "gui/form_loop.h"
#include "gui/gui_harness.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <string>

class QWidget;

namespace vellum::test {

class FormFixture : public ::testing::Test {
protected:
    FormFixture();
    ~FormFixture() override;

    // Runs "gForm.Show()"; steps run inside the form's loop once the window
    // titled title is shown and active, then the window is closed (if the
    // steps left it open). Gives the error identifier of the run.
    std::string ShowForm(const QString& title, const std::function<void(QWidget* window)>& steps);
    // ShowForm with the steps given the window's client area, expecting no error.
    void ShowClient(const QString& title, const std::function<void(QWidget* client)>& steps);
    // Makes gForm a form titled "Test" whose view is the script source view and shows it as ShowClient does.
    void ShowView(const std::string& view, const std::function<void(QWidget* client)>& steps);
    // The view of gForm with that id.
    gui::View* ViewOf(const std::string& id);
    // The widget of the native control of gForm's view with that id; none
    // when the view has no control.
    QWidget* ControlWidget(const std::string& id);

    GuiHarness h;
    FormWatchdog watchdog;
};

} // namespace vellum::test
