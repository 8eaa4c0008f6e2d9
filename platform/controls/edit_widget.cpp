// The two edit widgets: a QLineEdit for one line, a QPlainTextEdit for
// many. Both keep Qt's own editing paths (undo stack, context menu, drops)
// shut, so that every change goes through the edit's rules.
#include "platform/controls/edit_widget.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/desktop_style.h"

#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <qdrawutil.h>

#include <algorithm>
#include <climits>

namespace vellum::platform {

namespace {

// The desktop's style, except that a line edit's frame is the handheld's
// border: a plain one-pixel line in the text colour, the same box that a
// multi-line edit's frame draws, not the style's rounded frame.
class PlainFrameStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameLineEdit) {
            qDrawPlainRect(painter, option->rect, option->palette.color(QPalette::WindowText));
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

// How the multi-line document keeps the line ends the text may hold.
constexpr char16_t kLoneLineFeed = 0x2028; // a line separator: a break inside the block
constexpr char16_t kLoneReturn = 0x240D;   // the visible symbol for a carriage return

QString ToDocument(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out += u'\n'; // a block break
            ++i;
        } else if (c == u'\n') {
            out += QChar(kLoneLineFeed);
        } else if (c == u'\r') {
            out += QChar(kLoneReturn);
        } else {
            out += c;
        }
    }
    return out;
}

QString FromDocument(QString blockText)
{
    return blockText.replace(QChar(kLoneLineFeed), u'\n').replace(QChar(kLoneReturn), u'\r');
}

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

// --- both widgets ------------------------------------------------------------

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

// --- single line -------------------------------------------------------------

LineEditWidget::LineEditWidget(QWidget* parent) : EditWidget(parent)
{
    setStyle(SharedDesktopStyle<PlainFrameStyle>());
    setDragEnabled(false);
    setMaxLength(INT_MAX);
    ShowSelection(false);
}

std::pair<int32_t, int32_t> LineEditWidget::CaretAndAnchor() const
{
    const int32_t caret = cursorPosition();
    if (!hasSelectedText()) return {caret, caret};
    const int32_t start = selectionStart();
    const int32_t end = selectionEnd();
    return {caret, caret == start ? end : start};
}

void LineEditWidget::Place(int32_t anchor, int32_t caret)
{
    if (anchor == caret) {
        setCursorPosition(caret);
    } else {
        setSelection(anchor, caret - anchor);
    }
}

void LineEditWidget::RawReplace(int32_t start, int32_t end, const QString& text)
{
    QString whole = QLineEdit::text();
    whole.replace(start, end - start, text);
    setText(whole);
    setCursorPosition(start + static_cast<int32_t>(text.size()));
}

void LineEditWidget::RawSetText(const QString& text)
{
    setText(text);
    setCursorPosition(0);
}

std::vector<EditControl::Behaviour::LineSpan> LineEditWidget::ShownLines() const
{
    return {{0, static_cast<int32_t>(text().size())}};
}

void LineEditWidget::StyleChanged()
{
    setEchoMode(rules.password ? QLineEdit::Password : QLineEdit::Normal);
    setReadOnly(rules.readOnly);
}

QString LineEditWidget::Fitting(const QString& insert) const
{
    if (rules.autoScroll) return insert;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect room = QLineEdit::style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    // The line edit keeps two pixels free on either side of its text.
    const qreal width = room.width() - 4;
    const auto [caret, anchor] = CaretAndAnchor();
    const QString whole = text();
    const int32_t start = std::min(caret, anchor);
    const int32_t end = std::max(caret, anchor);
    const QFontMetricsF metrics(font());
    qsizetype n = insert.size();
    while (n > 0 && metrics.horizontalAdvance(whole.left(start) + insert.left(n) + whole.mid(end)) > width) --n;
    return insert.left(n);
}

// --- many lines --------------------------------------------------------------

TextEditWidget::TextEditWidget(QWidget* parent) : EditWidget(parent)
{
    setUndoRedoEnabled(false);
    setTabChangesFocus(false);
    document()->setDocumentMargin(2);
    ShowSelection(false);
    SetTabStop(0);
}

QString TextEditWidget::Text() const
{
    QString out;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin()) out += QStringLiteral("\r\n");
        out += FromDocument(block.text());
    }
    return out;
}

void TextEditWidget::SetBorder(bool border)
{
    setFrameShape(border ? QFrame::Box : QFrame::NoFrame);
    setLineWidth(1);
}

// A script position counts each block break before it twice (CR LF).
int32_t TextEditWidget::ScriptPosition(int docPosition) const
{
    return docPosition + document()->findBlock(docPosition).blockNumber();
}

int TextEditWidget::DocPosition(int32_t scriptPosition) const
{
    const QTextDocument& doc = *document();
    const auto scriptStart = [&](int number) {
        const QTextBlock block = doc.findBlockByNumber(number);
        return block.position() + number;
    };
    // The last block starting at or before the position.
    int low = 0;
    int high = doc.blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (scriptStart(mid) <= scriptPosition) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    const QTextBlock block = doc.findBlockByNumber(low);
    // A position inside or past the CR LF stays at the end of the block.
    const int offset = std::clamp(scriptPosition - scriptStart(low), 0, block.length() - 1);
    return block.position() + offset;
}

std::pair<int32_t, int32_t> TextEditWidget::CaretAndAnchor() const
{
    const QTextCursor cursor = textCursor();
    return {ScriptPosition(cursor.position()), ScriptPosition(cursor.anchor())};
}

void TextEditWidget::Place(int32_t anchor, int32_t caret)
{
    QTextCursor cursor(document());
    cursor.setPosition(DocPosition(anchor));
    cursor.setPosition(DocPosition(caret), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TextEditWidget::RawReplace(int32_t start, int32_t end, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(DocPosition(start));
    cursor.setPosition(DocPosition(end), QTextCursor::KeepAnchor);
    cursor.insertText(ToDocument(text));
    setTextCursor(cursor);
}

void TextEditWidget::RawSetText(const QString& text)
{
    setPlainText(ToDocument(text));
    Place(0, 0);
}

std::vector<EditControl::Behaviour::LineSpan> TextEditWidget::ShownLines() const
{
    std::vector<LineSpan> lines;
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const int32_t blockStart = block.position() + block.blockNumber();
        const QString text = block.text();
        if (layout != nullptr) layout->ensureBlockLayout(block);
        const QTextLayout* shown = block.layout();
        const int count = shown != nullptr ? shown->lineCount() : 0;
        if (count == 0) {
            // Not laid out: only the lone line feeds break the block.
            int32_t from = 0;
            for (;;) {
                const auto at = static_cast<int32_t>(text.indexOf(QChar(kLoneLineFeed), from));
                if (at < 0) break;
                lines.push_back({blockStart + from, at - from});
                from = at + 1;
            }
            lines.push_back({blockStart + from, static_cast<int32_t>(text.size()) - from});
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const QTextLine line = shown->lineAt(i);
            int32_t length = line.textLength();
            const int32_t last = line.textStart() + length - 1;
            if (length > 0 && last < text.size() && text[last] == QChar(kLoneLineFeed)) --length;
            lines.push_back({blockStart + line.textStart(), std::min(length, static_cast<int32_t>(text.size()) - line.textStart())});
        }
    }
    return lines;
}

void TextEditWidget::StyleChanged()
{
    setReadOnly(rules.readOnly);
    if (rules.readOnly) setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(rules.vScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(rules.hScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // Without horizontal scrolling the lines wrap at words, and so count.
    const bool wraps = !rules.autoScroll && !rules.hScroll;
    setLineWrapMode(wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// --- the control host's kinds ------------------------------------------------

namespace {

EditControl::Behaviour& BehaviourOf(QWidget& widget) { return dynamic_cast<EditControl::Behaviour&>(widget); }

template <class W>
QWidget* MakeEdit(QWidget& parent)
{
    return new W(&parent);
}

void ConnectEdit(QWidget& widget, ControlBridge& bridge)
{
    BehaviourOf(widget).changed = [&bridge] { bridge.Dispatch([](ControlHandler& h) { h.TextChanged(); }); };
}

void SetEditText(QWidget& widget, const QString& text) { BehaviourOf(widget).SetText(text); }

QString EditText(const QWidget& widget) { return dynamic_cast<const EditControl::Behaviour&>(widget).Text(); }

} // namespace

const ControlKindTraits kLineEditTraits{MakeEdit<LineEditWidget>, ConnectEdit, SetEditText, EditText};
const ControlKindTraits kTextEditTraits{MakeEdit<TextEditWidget>, ConnectEdit, SetEditText, EditText};

} // namespace vellum::platform
