// The desktop pass itself: the tests below it are only worth something when
// they run on a real display with a window manager.
#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

TEST(DesktopPass, RunsOnARealDisplayWhereAShownWindowTakesTheFocus)
{
    EXPECT_EQ(QGuiApplication::platformName(), "xcb");
    QWidget window;
    window.resize(200, 100);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::activeWindow(), &window);
}
