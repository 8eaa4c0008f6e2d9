// Runs the GUI tests inside a QApplication, on Qt's offscreen platform
// unless QT_QPA_PLATFORM names another: the tests need no display, and test
// discovery runs this program too.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
