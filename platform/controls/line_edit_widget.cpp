// The single-line edit widget: a QLineEdit with the handheld's plain
// border, which takes only the text that fits unless it scrolls.
#include "platform/controls/edit_widget.h"

#include "platform/controls/desktop_style.h"

#include <QFontMetricsF>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionFrame>
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

} // namespace

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

} // namespace vellum::platform
