// The script editor's colours: reserved words, strings, numbers and
// comments, found as the lexer finds them. Strings and block comments may
// run over several lines, so each line passes on what it ended inside.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace vellum::platform {

class ScriptHighlighter final : public QSyntaxHighlighter {
public:
    explicit ScriptHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    // Colours from start through the first closer found from searchFrom on,
    // and gives the position after it; -1 when the span runs past the line.
    qsizetype Span(const QString& text, qsizetype start, qsizetype searchFrom, const QString& closer,
                   const QTextCharFormat& format);

    QTextCharFormat keyword, string, number, comment;
};

} // namespace vellum::platform
