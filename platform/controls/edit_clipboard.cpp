// Cut, copy and paste through the desktop's clipboard: never a password,
// and a single-line edit takes only the clipboard's first line.
#include "platform/controls/edit_widget.h"

#include <QApplication>
#include <QClipboard>

namespace vellum::platform {

namespace {

// The clipboard holds the desktop's LF line ends; the edit holds CR LF.
QString ToClipboard(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString FromClipboard(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

} // namespace

void EditControl::Behaviour::Copy()
{
    const EditSelection sel = Selection();
    if (rules.password || sel.start == sel.end) return;
    QApplication::clipboard()->setText(ToClipboard(Text().mid(sel.start, sel.end - sel.start)));
}

void EditControl::Behaviour::Cut()
{
    const EditSelection sel = Selection();
    if (rules.password || rules.readOnly || sel.start == sel.end) return;
    Copy();
    UserEdit([&] { RawReplace(sel.start, sel.end, {}); }, false);
}

void EditControl::Behaviour::Paste()
{
    if (rules.readOnly) return;
    QString text = FromClipboard(QApplication::clipboard()->text());
    // A single line takes the clipboard's first line (all of it when it holds one).
    if (const qsizetype lineEnd = text.indexOf(u'\r'); !MultiLine() && lineEnd >= 0) text.truncate(lineEnd);
    const QString insert = Fitting(Cased(text));
    if (insert.isEmpty()) return;
    const EditSelection sel = Selection();
    UserEdit([&] { RawReplace(sel.start, sel.end, insert); }, false);
}

} // namespace vellum::platform
