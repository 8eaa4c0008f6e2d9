// The peer of the quitting row of bench/run: the least a Qt widgets program
// does to show a window and end when it closes: a window of the device
// screen's size that closes itself after the same delay as the benchmark's
// form, and the application ending with its last window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Quit");
    window.resize(480, 640);
    window.show();
    QTimer::singleShot(50, &window, &QWidget::close);
    return app.exec();
}
