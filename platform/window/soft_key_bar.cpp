#include "platform/window/soft_key_bar.h"

#include "platform/qt_convert.h"
#include "platform/window/device_screen.h"
#include "platform/window/qt_menu.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>

namespace vellum::platform {

namespace {

// The input panel's button: a small keyboard.
QIcon KeyboardIcon()
{
    const int width = DeviceDipToPx(20);
    const int height = DeviceDipToPx(12);
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    painter.drawRect(0, 0, width - 1, height - 1);
    const int pitch = std::max(3, width / 6);
    for (int row = 0; row < 2; ++row) {
        for (int x = pitch / 2; x + 1 < width; x += pitch) painter.fillRect(x, 2 + row * (height / 3), 2, 2, Qt::white);
    }
    painter.fillRect(width / 4, height - 4, width / 2, 2, Qt::white);
    return QIcon(picture);
}

} // namespace

SoftKeyBar::SoftKeyBar(QWidget* parent, Callbacks callbacks_) : QWidget(parent), callbacks(std::move(callbacks_))
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(32, 32, 32));
    colours.setColor(QPalette::Button, QColor(32, 32, 32));
    colours.setColor(QPalette::ButtonText, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    QFont font = this->font();
    font.setPixelSize(DeviceDipToPx(13));
    font.setBold(true);
    setFont(font);
    keys = new QHBoxLayout(this);
    keys->setContentsMargins(0, 0, 0, 0);
    keys->setSpacing(0);
    sipButton = new QToolButton(this);
    sipButton->setFocusPolicy(Qt::NoFocus);
    sipButton->setAutoRaise(true);
    sipButton->setIconSize(QSize(DeviceDipToPx(20), DeviceDipToPx(12)));
    sipButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    sipButton->setFixedWidth(DeviceDipToPx(36));
    sipButton->hide();
    connect(sipButton, &QToolButton::clicked, this, [this] {
        if (callbacks.inputPanelButton) callbacks.inputPanelButton();
    });
}

QToolButton* SoftKeyBar::KeyWithText(const QString& text) const
{
    for (QWidget* w : built) {
        auto* key = qobject_cast<QToolButton*>(w);
        if (key != nullptr && key->text() == text && key->isVisible()) return key;
    }
    return nullptr;
}

QToolButton* SoftKeyBar::NewKey(const QString& text)
{
    auto* key = new QToolButton(this);
    key->setText(text);
    key->setFocusPolicy(Qt::NoFocus);
    key->setAutoRaise(true);
    key->setToolButtonStyle(Qt::ToolButtonTextOnly);
    key->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    built.push_back(key);
    return key;
}

void SoftKeyBar::Clear()
{
    keys->removeWidget(sipButton);
    for (QWidget* w : built) {
        // A pop-up may be open; it goes after its events are done.
        w->hide();
        w->deleteLater();
    }
    built.clear();
    commandKeys.clear();
    commandActions.clear();
    hasMenu = false;
}

void SoftKeyBar::Build(const MenuLayout& menu)
{
    Clear();
    hasMenu = true;
    std::vector<QToolButton*> row;
    for (const MenuEntry& entry : menu) {
        if (entry.kind == MenuEntry::Kind::Separator) continue; // the bar has no separators
        QToolButton* key = NewKey(ToQString(entry.text));
        if (entry.kind == MenuEntry::Kind::Command) {
            const int32_t id = entry.id;
            commandKeys[id] = key;
            connect(key, &QToolButton::clicked, this, [this, id] { callbacks.command(id); });
        } else {
            auto* popup = new QMenu(this);
            built.push_back(popup);
            FillQMenu(*popup, entry.items, [this](QAction& action, int32_t id) {
                commandActions[id] = &action;
                connect(&action, &QAction::triggered, this, [this, id] { callbacks.command(id); });
            });
            connect(key, &QToolButton::clicked, this, [this, key, popup] { OpenPopup(*key, *popup); });
        }
        row.push_back(key);
    }
    // The input panel's button lies between the left and the right keys.
    const size_t left = (row.size() + 1) / 2;
    for (size_t i = 0; i < row.size(); ++i) {
        if (i == left) keys->addWidget(sipButton);
        keys->addWidget(row[i]);
        row[i]->show();
    }
    if (left >= row.size()) keys->addWidget(sipButton);
}

void SoftKeyBar::OpenPopup(QToolButton& key, QMenu& menu)
{
    if (callbacks.aboutToShow) callbacks.aboutToShow();
    // The update may have rebuilt the bar: then this pop-up is on its way out.
    if (std::find(built.begin(), built.end(), &menu) == built.end()) return;
    menu.adjustSize();
    const QPoint corner = key.mapToGlobal(QPoint(0, 0));
    menu.popup(QPoint(corner.x(), corner.y() - menu.sizeHint().height()));
}

void SoftKeyBar::ShowInputPanelButton(bool shown)
{
    sipButtonShown = shown;
    // Drawn when first shown: a form without a menu never shows it.
    if (shown && sipButton->icon().isNull()) sipButton->setIcon(KeyboardIcon());
    sipButton->setVisible(shown);
}

void SoftKeyBar::SetChecked(int32_t id, bool checked)
{
    if (const auto a = commandActions.find(id); a != commandActions.end()) {
        a->second->setCheckable(true);
        a->second->setChecked(checked);
    }
    if (const auto k = commandKeys.find(id); k != commandKeys.end()) {
        k->second->setCheckable(true);
        k->second->setChecked(checked);
    }
}

void SoftKeyBar::SetEnabled(int32_t id, bool enabled)
{
    if (const auto a = commandActions.find(id); a != commandActions.end()) a->second->setEnabled(enabled);
    if (const auto k = commandKeys.find(id); k != commandKeys.end()) k->second->setEnabled(enabled);
}

void SoftKeyBar::SetText(int32_t id, const QString& text)
{
    if (const auto a = commandActions.find(id); a != commandActions.end()) a->second->setText(text);
    if (const auto k = commandKeys.find(id); k != commandKeys.end()) k->second->setText(text);
}

} // namespace vellum::platform
