// The control host on the offscreen platform: a push button made in a form
// window's client area, placed, shown, enabled, focused and clicked with
// real input events, and destroyed from inside its own click.
#include "platform/controls/control_handler.h"
#include "platform/controls/native_control.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vellum::test {
namespace {

using platform::ControlKind;
using platform::NativeControl;

class NoWindowEvents final : public platform::FormWindowHandler {};

// Counts clicks; a test may give a step to run on a click.
class CountingHandler final : public platform::ControlHandler {
public:
    void Clicked() override
    {
        ++clicks;
        if (onClick) onClick();
    }

    int clicks = 0;
    std::function<void()> onClick;
};

class NativeControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDeviceScreen({{240, 320}, 96});
        window = platform::FormWindow::Create(windowEvents, {u"Controls"});
        ASSERT_NE(window, nullptr);
        window->Show();
        form = platform::FormWindowTitled("Controls");
        ASSERT_TRUE(form != nullptr && QTest::qWaitForWindowExposed(form));
        control = NativeControl::Create(*window, ControlKind::Button, handler);
        ASSERT_NE(control, nullptr);
        button = qobject_cast<QPushButton*>(platform::ControlWidgetOf(*control));
        ASSERT_NE(button, nullptr);
    }

    // The button placed, captioned and shown.
    void ShowButton()
    {
        control->Move({10, 20, 89, 49});
        control->SetText(u"Go");
        control->Show(true);
    }

    NoWindowEvents windowEvents;
    CountingHandler handler;
    std::unique_ptr<platform::FormWindow> window;
    std::unique_ptr<NativeControl> control;
    QWidget* form = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(NativeControlTest, LivesHiddenInTheClientAreaUntilShownAndTakesClicks)
{
    EXPECT_EQ(button->parentWidget(), platform::ClientAreaOf(form));
    EXPECT_FALSE(control->Shown());
    EXPECT_FALSE(button->isVisible());
    ShowButton();
    EXPECT_TRUE(control->Shown());
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(control->Text(), u"Go");
    EXPECT_EQ(button->text(), "Go");
    // Right and bottom are the last pixels inside: 80 x 30.
    EXPECT_EQ(button->geometry(), QRect(10, 20, 80, 30));

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(handler.clicks, 1);
    // A press that leaves the button before the release is no click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 15));
    EXPECT_EQ(handler.clicks, 1);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(handler.clicks, 2);

    control->Show(false);
    EXPECT_FALSE(button->isVisible());
    control->Move({5, 5, 4, 4});
    EXPECT_TRUE(button->geometry().isEmpty());
}

TEST_F(NativeControlTest, MayBeDestroyedInsideItsOwnClick)
{
    ShowButton();
    QPointer<QPushButton> watched(button);
    handler.onClick = [this] { control.reset(); };
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(control, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(watched, nullptr);
}

TEST_F(NativeControlTest, GoesWithItsFormWindow)
{
    ShowButton();
    QPointer<QPushButton> watched(button);
    // The script ends the form from the button's click.
    handler.onClick = [this] { window->Destroy(); };
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(40, 15));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(watched, nullptr);
    EXPECT_FALSE(control->Alive());
    // Every operation of a control without its widget does nothing.
    control->Move({0, 0, 9, 9});
    control->Show(true);
    control->SetText(u"late");
    EXPECT_FALSE(control->Shown());
    EXPECT_EQ(control->Text(), u"");
    EXPECT_EQ(NativeControl::Create(*window, ControlKind::Button, handler), nullptr);
}

} // namespace
} // namespace vellum::test
