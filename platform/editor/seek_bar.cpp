#include "platform/editor/seek_bar.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace vellum::platform {

SeekBar::SeekBar(QWidget* parent, Callbacks callbacks_)
    : QWidget(parent), callbacks(std::move(callbacks_)), label(new QLabel(this)), field(new QLineEdit(this)),
      note(new QLabel(this)), lineNumbers(new QIntValidator(1, INT32_MAX, this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(label);
    row->addWidget(field, 1);
    row->addWidget(note);
    field->installEventFilter(this);
    hide();
}

void SeekBar::Open(Mode mode_)
{
    if (mode != mode_) field->clear();
    mode = mode_;
    label->setText(mode == Mode::Find ? QStringLiteral("Find:") : QStringLiteral("Go to line:"));
    field->setValidator(mode == Mode::Line ? lineNumbers : nullptr);
    SetNote({});
    show();
    field->selectAll();
    field->setFocus(Qt::ShortcutFocusReason);
}

void SeekBar::SetNote(const QString& text) { note->setText(text); }

bool SeekBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != field || event->type() != QEvent::KeyPress) return false;
    const auto& press = *static_cast<QKeyEvent*>(event);
    const int key = press.key();
    const bool shift = press.modifiers().testFlag(Qt::ShiftModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F3) {
        callbacks.entered(mode, field->text(), shift);
        return true;
    }
    if (key == Qt::Key_Escape) {
        hide();
        callbacks.closed();
        return true;
    }
    return false;
}

} // namespace vellum::platform
