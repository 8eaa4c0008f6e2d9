#include "platform/editor/script_highlighter.h"

#include "engine/lexer/char_class.h"
#include "engine/lexer/source_reader.h"

namespace vellum::platform {

namespace {

// What a line ended inside of, carried to the next as the block state.
enum LineEnd { Plain = 0, InComment, InDoubleQuoted, InSingleQuoted };

bool IsWordUnit(QChar c) { return IsLetterUnit(c.unicode()) || IsDigitUnit(c.unicode()); }

// Where a number's digits [. digits] [e [sign] digits] end.
qsizetype NumberEnd(const QString& text, qsizetype p)
{
    const auto digit = [&](qsizetype i) { return i < text.size() && IsDigitUnit(text[i].unicode()); };
    while (digit(p)) ++p;
    if (p < text.size() && text[p] == u'.') {
        ++p;
        while (digit(p)) ++p;
    }
    if (p < text.size() && (text[p] == u'e' || text[p] == u'E')) {
        qsizetype q = p + 1;
        if (q < text.size() && (text[q] == u'+' || text[q] == u'-')) ++q;
        if (digit(q)) {
            p = q;
            while (digit(p)) ++p;
        }
    }
    return p;
}

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document) : QSyntaxHighlighter(document)
{
    keyword.setForeground(QColor(0x00, 0x00, 0xA0));
    keyword.setFontWeight(QFont::Bold);
    string.setForeground(QColor(0xA0, 0x30, 0x00));
    number.setForeground(QColor(0x00, 0x70, 0x70));
    comment.setForeground(QColor(0x30, 0x80, 0x30));
    comment.setFontItalic(true);
}

qsizetype ScriptHighlighter::Span(const QString& text, qsizetype start, qsizetype searchFrom, const QString& closer,
                                  const QTextCharFormat& format)
{
    const qsizetype close = text.indexOf(closer, searchFrom);
    const qsizetype end = close < 0 ? text.size() : close + closer.size();
    setFormat(static_cast<int>(start), static_cast<int>(end - start), format);
    return close < 0 ? -1 : end;
}

void ScriptHighlighter::highlightBlock(const QString& text)
{
    setCurrentBlockState(Plain);
    qsizetype p = 0;
    // A span left open by the line before continues from the line's start.
    switch (previousBlockState()) {
    case InComment:
        p = Span(text, 0, 0, QStringLiteral("*/"), comment);
        if (p < 0) setCurrentBlockState(InComment);
        break;
    case InDoubleQuoted:
    case InSingleQuoted: {
        const bool dbl = previousBlockState() == InDoubleQuoted;
        p = Span(text, 0, 0, dbl ? QStringLiteral("\"") : QStringLiteral("'"), string);
        if (p < 0) setCurrentBlockState(previousBlockState());
        break;
    }
    default:
        break;
    }
    while (p >= 0 && p < text.size()) {
        const QChar c = text[p];
        if (c == u'#') {
            setFormat(static_cast<int>(p), static_cast<int>(text.size() - p), comment);
            return;
        }
        if (c == u'/' && p + 1 < text.size() && text[p + 1] == u'*') {
            // The opener's star may also close the comment, as the lexer reads "/*/".
            p = Span(text, p, p + 1, QStringLiteral("*/"), comment);
            if (p < 0) setCurrentBlockState(InComment);
        } else if (c == u'"' || c == u'\'') {
            p = Span(text, p, p + 1, QString(c), string);
            if (p < 0) setCurrentBlockState(c == u'"' ? InDoubleQuoted : InSingleQuoted);
        } else if (IsDigitUnit(c.unicode())) {
            const qsizetype end = NumberEnd(text, p);
            setFormat(static_cast<int>(p), static_cast<int>(end - p), number);
            p = end;
        } else if (IsLetterUnit(c.unicode())) {
            qsizetype end = p;
            while (end < text.size() && IsWordUnit(text[end])) ++end;
            const QString word = text.mid(p, end - p);
            if (IsKeyword(std::u16string_view(reinterpret_cast<const char16_t*>(word.utf16()), word.size()))) {
                setFormat(static_cast<int>(p), static_cast<int>(end - p), keyword);
            }
            p = end;
        } else {
            ++p;
        }
    }
}

} // namespace vellum::platform
