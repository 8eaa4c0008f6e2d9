// The peer of the first-frame row of bench/run: the least a Qt widgets
// program does to show a text and save its picture: a label of the size of
// the benchmark form's window, grabbed once it has painted, saved as PNG,
// and the program ending.
//
// usage: vellum-frame-peer PICTURE WIDTH HEIGHT
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

class FirstFrameLabel : public QLabel {
public:
    FirstFrameLabel(const QString& text, QString picture) : QLabel(text), picture(std::move(picture)) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        if (painted) return;
        painted = true;
        // As vellum --screenshot does: the grab waits until this paint is over.
        QTimer::singleShot(0, this, [this] {
            const bool saved = grab().save(picture, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    }

private:
    QString picture;
    bool painted = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: vellum-frame-peer PICTURE WIDTH HEIGHT\n", stderr);
        return 2;
    }
    FirstFrameLabel label("Hello", QString::fromLocal8Bit(argv[1]));
    label.setWindowTitle("Frame");
    label.resize(QString(argv[2]).toInt(), QString(argv[3]).toInt());
    label.show();
    return app.exec();
}
