// Runs the desktop tests on a real display with a window manager (see
// scripts/test-desktop), where focus, keys, the clipboard, resizing and
// scale factors behave as a user meets them. Listing them needs no display.
#include <QApplication>

#include <gtest/gtest.h>

#include <iostream>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != "xcb") {
        std::cerr << "desktop_tests need a real display (xcb), not " << app.platformName().toStdString() << "\n";
        return 1;
    }
    return RUN_ALL_TESTS();
}
