#include "desktop/desktop_harness.h"

#include "gui/gui_library.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

namespace vellum::test {

DesktopFormTest::DesktopFormTest()
{
    platform::SetDeviceScreen({{240, 320}, 96});
    if (!h.ip.GetGlobal(u"TForm").IsTable()) gui::RegisterFormClasses(h.ip);
    EXPECT_EQ(h.Run("var gForm = null var gLog = '' var result = null "
                    "function Log(text) gLog = gLog & text & ' ' end"),
              "errOK");
}

DesktopFormTest::~DesktopFormTest() { platform::SetDeviceScreen({}); }

std::string DesktopFormTest::ShowForm(const QString& title, const std::function<void(QWidget* window)>& steps)
{
    Later([&] {
        const QPointer<QWidget> window = platform::FormWindowTitled(title);
        if (window == nullptr) {
            ADD_FAILURE() << "no window " << title.toStdString();
            return;
        }
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        steps(window);
        if (window != nullptr) window->close();
    });
    return h.Run("gForm.Show()");
}

bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }

} // namespace vellum::test
