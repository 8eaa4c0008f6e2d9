#include "platform/window/input_panel.h"

#include "platform/window/device_screen.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QToolButton>

namespace vellum::platform {

namespace {

// The rows of ten columns above the last letters.
constexpr const char* kLetterRows[] = {"1234567890", "qwertyuiop", "asdfghjkl"};

} // namespace

InputPanel::InputPanel(QWidget* parent, QWidget* fallback_) : QWidget(parent), fallback(fallback_)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(200, 204, 212));
    setPalette(colours);
    QFont font = this->font();
    font.setPixelSize(DeviceDipToPx(11));
    setFont(font);
    auto* grid = new QGridLayout(this);
    const int gap = std::max(1, DeviceDipToPx(1));
    grid->setContentsMargins(gap, gap, gap, gap);
    grid->setSpacing(gap);
    const auto add = [&](const QString& label, int key, const QString& text, int row, int column, int span) {
        auto* button = new QToolButton(this);
        button->setText(label);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, key, text] { Type(key, text); });
        grid->addWidget(button, row, column, 1, span);
    };
    for (int row = 0; row < 3; ++row) {
        const QString keys = QString::fromLatin1(kLetterRows[row]);
        for (int i = 0; i < keys.size(); ++i) {
            const QChar c = keys[i];
            const int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toLatin1() - 'a');
            add(QString(c), key, QString(c), row, i, 1);
        }
    }
    add(QStringLiteral("\u2190"), Qt::Key_Backspace, QString(), 2, 9, 1);
    const QString lastRow = QStringLiteral("zxcvbnm");
    for (int i = 0; i < lastRow.size(); ++i) {
        add(QString(lastRow[i]), Qt::Key_A + (lastRow[i].toLatin1() - 'a'), QString(lastRow[i]), 3, i, 1);
    }
    add(QStringLiteral(","), Qt::Key_Comma, QStringLiteral(","), 3, 7, 1);
    add(QStringLiteral("."), Qt::Key_Period, QStringLiteral("."), 3, 8, 1);
    add(QStringLiteral("\u21B5"), Qt::Key_Return, QStringLiteral("\r"), 3, 9, 1);
    add(QString(), Qt::Key_Space, QStringLiteral(" "), 4, 2, 6);
}

void InputPanel::Type(int key, const QString& text)
{
    // The key's handler may close the form: the target is watched.
    QPointer<QWidget> target = window()->focusWidget();
    if (target == nullptr) target = fallback;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (target == nullptr) return;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

} // namespace vellum::platform
