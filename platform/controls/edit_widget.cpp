// The Qt events both edit widgets turn into the edit's rules. Both keep
// Qt's own editing paths (undo stack, context menu, drops) shut, so that
// every change goes through the rules.
#include "platform/controls/edit_widget.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace vellum::platform {

namespace {

// Both widgets send Tab to their key handling instead of moving the focus.
bool IsTabPress(QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

// A committed input-method text with nothing left in composition is typing.
bool IsPlainCommit(const QInputMethodEvent* event)
{
    return !event->commitString().isEmpty() && event->preeditString().isEmpty() && event->replacementLength() == 0;
}

} // namespace

template <class QtEditor>
EditWidget<QtEditor>::EditWidget(QWidget* parent) : QtEditor(parent)
{
    this->setContextMenuPolicy(Qt::NoContextMenu);
    this->setAcceptDrops(false);
    this->setFocusPolicy(Qt::StrongFocus);
}

template <class QtEditor>
bool EditWidget<QtEditor>::event(QEvent* e)
{
    if (IsTabPress(e)) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QtEditor::event(e);
}

template <class QtEditor>
void EditWidget<QtEditor>::keyPressEvent(QKeyEvent* e)
{
    if (HandleKey(e)) {
        e->accept();
        return;
    }
    UserEdit([&] { QtEditor::keyPressEvent(e); }, true);
}

template <class QtEditor>
void EditWidget<QtEditor>::inputMethodEvent(QInputMethodEvent* e)
{
    if (IsPlainCommit(e)) {
        Type(e->commitString());
        e->accept();
        return;
    }
    UserEdit([&] { QtEditor::inputMethodEvent(e); }, true);
}

template <class QtEditor>
void EditWidget<QtEditor>::mouseReleaseEvent(QMouseEvent* e)
{
    UserEdit([&] { QtEditor::mouseReleaseEvent(e); }, false);
}

template <class QtEditor>
void EditWidget<QtEditor>::focusInEvent(QFocusEvent* e)
{
    QtEditor::focusInEvent(e);
    ShowSelection(true);
}

template <class QtEditor>
void EditWidget<QtEditor>::focusOutEvent(QFocusEvent* e)
{
    // A line edit drops its selection with the focus; the edit keeps it.
    const auto [caret, anchor] = CaretAndAnchor();
    QtEditor::focusOutEvent(e);
    Place(anchor, caret);
    ShowSelection(false);
}

template <class QtEditor>
void EditWidget<QtEditor>::changeEvent(QEvent* e)
{
    QtEditor::changeEvent(e);
    if (e->type() == QEvent::FontChange) FontChanged();
    if (e->type() == QEvent::ApplicationPaletteChange || e->type() == QEvent::StyleChange) PaletteChanged();
}

template class EditWidget<QLineEdit>;
template class EditWidget<QPlainTextEdit>;

} // namespace vellum::platform
