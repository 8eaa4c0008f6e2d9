#include "gui/form_fixture.h"

#include "gui/controls/control_view.h"
#include "gui/gui_library.h"
#include "gui/view/view_binding.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

namespace vellum::test {

FormFixture::FormFixture()
{
    platform::SetDeviceScreen({{240, 320}, 96});
    if (!h.ip.GetGlobal(u"TForm").IsTable()) gui::RegisterFormClasses(h.ip);
    h.Ok("var gForm = null var gLog = '' var result = null "
         "function Log(text) gLog = gLog & text & ' ' end");
}

FormFixture::~FormFixture() { platform::SetDeviceScreen({}); }

std::string FormFixture::ShowForm(const QString& title, const std::function<void(QWidget* window)>& steps)
{
    Later([&] {
        const QPointer<QWidget> window = platform::FormWindowTitled(title);
        if (window == nullptr) {
            ADD_FAILURE() << "no window " << title.toStdString();
            return;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        steps(window);
        if (window != nullptr) window->close();
    });
    return h.Run("gForm.Show()");
}

void FormFixture::ShowClient(const QString& title, const std::function<void(QWidget* client)>& steps)
{
    EXPECT_EQ(ShowForm(title, [&](QWidget* window) { steps(platform::ClientAreaOf(window)); }), "errOK");
}

void FormFixture::ShowView(const std::string& view, const std::function<void(QWidget* client)>& steps)
{
    h.Ok("gForm = TForm({title = 'Test', view = " + view + "})");
    ShowClient("Test", steps);
}

gui::View* FormFixture::ViewOf(const std::string& id)
{
    h.Ok("result = gForm.GetView('" + id + "')");
    return gui::ViewOfTable(h.ip, h.ip.GetGlobal(u"result").table);
}

QWidget* FormFixture::ControlWidget(const std::string& id)
{
    auto* view = dynamic_cast<gui::ControlView*>(ViewOf(id));
    if (view == nullptr || view->Control() == nullptr) return nullptr;
    return platform::ControlWidgetOf(*view->Control());
}

} // namespace vellum::test
