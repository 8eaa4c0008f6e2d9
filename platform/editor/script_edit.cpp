#include "platform/editor/script_edit.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

namespace vellum::platform {

namespace {

// What marks a block's line as a breakpoint; the block owns it.
class BreakpointMark final : public QTextBlockUserData {};

bool HasBreakpoint(const QTextBlock& block) { return dynamic_cast<BreakpointMark*>(block.userData()) != nullptr; }

const QColor kBreakpointColor(0xC8, 0x20, 0x20);
const QColor kStopColor(0xFF, 0xE0, 0x60);
const QColor kStopArrowColor(0xD0, 0x90, 0x00);
const QColor kMarginColor(0xF0, 0xF0, 0xF0);
const QColor kNumberColor(0x90, 0x90, 0x90);

} // namespace

// The margin paints through the edit, which knows where each line is.
class ScriptEditMargin final : public QWidget {
public:
    explicit ScriptEditMargin(ScriptEdit& edit) : QWidget(&edit), edit(edit) { setCursor(Qt::PointingHandCursor); }

protected:
    void paintEvent(QPaintEvent* event) override { edit.PaintMargin(event); }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) return;
        if (const int line = edit.LineAt(static_cast<int>(event->position().y())); line > 0) edit.ToggleBreakpoint(line);
    }

private:
    ScriptEdit& edit;
};

ScriptEdit::ScriptEdit(QWidget* parent) : QPlainTextEdit(parent), margin(new ScriptEditMargin(*this))
{
    connect(this, &QPlainTextEdit::blockCountChanged, this, &ScriptEdit::FitMargin);
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0) {
            margin->scroll(0, dy);
        } else {
            margin->update(0, rect.y(), margin->width(), rect.height());
        }
    });
    FitMargin();
}

std::vector<int> ScriptEdit::BreakpointLines() const
{
    std::vector<int> lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (HasBreakpoint(block)) lines.push_back(block.blockNumber() + 1);
    }
    return lines;
}

void ScriptEdit::ToggleBreakpoint(int line)
{
    QTextBlock block = document()->findBlockByNumber(line - 1);
    if (!block.isValid()) return;
    block.setUserData(HasBreakpoint(block) ? nullptr : new BreakpointMark);
    margin->update();
    if (breakpointsChanged) breakpointsChanged();
}

void ScriptEdit::ShowStopLine(int line)
{
    stopLine = line;
    QList<QTextEdit::ExtraSelection> shades;
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        QTextEdit::ExtraSelection shade;
        shade.format.setBackground(kStopColor);
        shade.format.setProperty(QTextFormat::FullWidthSelection, true);
        shade.cursor = QTextCursor(block);
        shades.append(shade);
        QTextCursor caret(block);
        setTextCursor(caret);
        ensureCursorVisible();
    }
    setExtraSelections(shades);
    margin->update();
}

int ScriptEdit::MarginWidth() const
{
    int digits = 1;
    for (int lines = std::max(1, blockCount()); lines >= 10; lines /= 10) ++digits;
    // Room for the mark, the numbers and a gap before the text.
    return fontMetrics().height() + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits + 6;
}

int ScriptEdit::LineAt(int y) const
{
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > y) break;
        if (block.isVisible() && y < box.bottom()) return block.blockNumber() + 1;
    }
    return 0;
}

void ScriptEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    FitMargin();
}

void ScriptEdit::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) FitMargin();
}

void ScriptEdit::FitMargin()
{
    setViewportMargins(MarginWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    margin->setGeometry(area.left(), area.top(), MarginWidth(), area.height());
}

void ScriptEdit::PaintMargin(QPaintEvent* event)
{
    QPainter painter(margin);
    painter.fillRect(event->rect(), kMarginColor);
    painter.setRenderHint(QPainter::Antialiasing);
    const int mark = fontMetrics().height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > event->rect().bottom()) break;
        if (!block.isVisible() || box.bottom() < event->rect().top()) continue;
        const int line = block.blockNumber() + 1;
        const QRectF markBox(2, box.top() + 2, mark - 4, mark - 4);
        if (HasBreakpoint(block)) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kBreakpointColor);
            painter.drawEllipse(markBox);
        }
        if (line == stopLine) {
            // An arrow over the dot, pointing at the line that runs next.
            const QPointF tip(markBox.right(), markBox.center().y());
            const QPolygonF arrow({markBox.topLeft(), tip, markBox.bottomLeft()});
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(kStopArrowColor);
            painter.drawPolygon(arrow);
        }
        painter.setPen(kNumberColor);
        painter.drawText(QRectF(mark, box.top(), margin->width() - mark - 4, box.height()), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(line));
    }
}

} // namespace vellum::platform
