// The title strip's look (the handheld's dark blue strip, white bold title)
// and its done button.
#include "platform/window/title_strip.h"

#include "platform/window/device_screen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace vellum::platform {

TitleStrip::TitleStrip(QWidget* parent, std::function<void(int32_t)> command) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(16, 60, 130));
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Button, QColor(16, 60, 130));
    colours.setColor(QPalette::ButtonText, Qt::white);
    setPalette(colours);
    QFont font = this->font();
    font.setPixelSize(DeviceDipToPx(13));
    font.setBold(true);
    setFont(font);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(DeviceDipToPx(4), 0, 0, 0);
    row->setSpacing(0);
    title_ = new QLabel(this);
    row->addWidget(title_, 1);
    done = new QToolButton(this);
    done->setFocusPolicy(Qt::NoFocus);
    done->setAutoRaise(true);
    done->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    done->setFixedWidth(DeviceDipToPx(30));
    done->hide();
    row->addWidget(done);
    connect(done, &QToolButton::clicked, this, [this, command = std::move(command)] {
        command(kind == DoneButton::Ok ? kCommandOk : kCommandCancel);
    });
}

void TitleStrip::SetTitle(const QString& title) { title_->setText(title); }

void TitleStrip::SetDoneButton(DoneButton kind_)
{
    kind = kind_;
    done->setText(kind == DoneButton::Ok ? QStringLiteral("ok") : QStringLiteral("\u00D7"));
    done->setVisible(kind != DoneButton::Hidden);
}

} // namespace vellum::platform
