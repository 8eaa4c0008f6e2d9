// The multi-line edit widget: a QPlainTextEdit whose document holds the
// text's line ends, and the script positions that count a CR LF as two.
#include "platform/controls/edit_widget.h"

#include <QTextBlock>

#include <algorithm>

namespace vellum::platform {

namespace {

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

} // namespace

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

} // namespace vellum::platform
