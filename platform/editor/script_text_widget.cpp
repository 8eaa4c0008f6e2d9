#include "platform/editor/script_text_widget.h"

#include "platform/controls/control_bridge.h"
#include "platform/controls/edit_widget.h"
#include "platform/editor/script_highlighter.h"
#include "platform/window/shell_widget.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace vellum::platform {

namespace {

// Large enough to read on a desktop monitor, whatever the system's fixed font says.
constexpr int kLeastPointSize = 11;

QString WithLineFeeds(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    return lines;
}

} // namespace

ScriptTextWidget::ScriptTextWidget(QWidget* parent)
    : QWidget(parent), edit(new ScriptEdit(this)),
      panel(new DebugPanel(this, [this](const DebugFrame& frame) { edit->ShowStopLine(stopLineOf(frame)); })),
      seek(new SeekBar(this, {[this](SeekBar::Mode mode, const QString& what, bool backward) {
                                  Seek(mode, what, backward);
                              },
                              [this] { edit->setFocus(Qt::OtherFocusReason); }})),
      place(new QLabel(this))
{
    new ScriptHighlighter(edit->document()); // the document owns it
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(std::max(font.pointSize(), kLeastPointSize));
    edit->setFont(font);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->installEventFilter(this);
    place->setContentsMargins(4, 1, 4, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The panel takes a third of the height when it shows; the user may move the border.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(edit);
    split->addWidget(panel);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    column->addWidget(split, 1);
    column->addWidget(seek);
    column->addWidget(place);
    setFocusProxy(edit);

    QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, place, [this] { place->setText(CaretPlace()); });
    place->setText(CaretPlace());
}

void ScriptTextWidget::SetText(const QString& text)
{
    edit->setPlainText(WithLineFeeds(text));
}

QString ScriptTextWidget::Text() const
{
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void ScriptTextWidget::SetCommands(const Commands& ids)
{
    commands = ids;
    panel->SetCommands({ids.run, ids.stepOver, ids.stepInto, ids.stepOut, ids.stop});
}

void ScriptTextWidget::ShowStop(DebugStop& stop, std::function<int(const DebugFrame&)> lineOf)
{
    stopLineOf = std::move(lineOf);
    panel->Show(stop);
}

void ScriptTextWidget::EndStop()
{
    panel->Clear();
    edit->ShowStopLine(0);
}

void ScriptTextWidget::PlaceCaret(int32_t position)
{
    // Every CR LF before the position is one block break in the document.
    const QString text = Text();
    const qsizetype end = std::clamp<qsizetype>(position, 0, text.size());
    int documentPosition = 0;
    for (qsizetype i = 0; i < end; ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        ++documentPosition;
    }
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(documentPosition);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
}

void ScriptTextWidget::SetTabStop(int32_t dialogUnits)
{
    edit->setTabStopDistance(TabStopPixels(edit->font(), dialogUnits));
}

QString ScriptTextWidget::CaretPlace() const
{
    const QTextCursor cursor = edit->textCursor();
    return QStringLiteral("Line %1, Col %2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1);
}

bool ScriptTextWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit && event->type() == QEvent::KeyPress) return CommandKey(*static_cast<QKeyEvent*>(event));
    return false;
}

bool ScriptTextWidget::CommandKey(const QKeyEvent& key)
{
    const bool control = key.modifiers() == Qt::ControlModifier;
    const bool plain = key.modifiers() == Qt::NoModifier;
    const bool shift = key.modifiers() == Qt::ShiftModifier;
    const bool run = (control && key.key() == Qt::Key_R) || (plain && key.key() == Qt::Key_F5);
    // Ctrl+Break comes as Pause with Control held on most keyboards, as Cancel on some.
    const bool stop = (plain && key.key() == Qt::Key_Escape) ||
                      (control && (key.key() == Qt::Key_Pause || key.key() == Qt::Key_Cancel));
    const int32_t id = run                                     ? commands.run
                       : stop                                  ? commands.stop
                       : plain && key.key() == Qt::Key_F10     ? commands.stepOver
                       : plain && key.key() == Qt::Key_F11     ? commands.stepInto
                       : shift && key.key() == Qt::Key_F11     ? commands.stepOut
                                                               : -1;
    if (id >= 0) {
        if (ShellWidget* shell = ShellOf(this); shell != nullptr && id != 0) {
            shell->Dispatch([id](FormWindowHandler& h) { h.Command(id); });
        }
        return true;
    }
    if (plain && key.key() == Qt::Key_F9) {
        edit->ToggleBreakpoint(edit->textCursor().blockNumber() + 1);
        return true;
    }
    if (control && key.key() == Qt::Key_F) {
        seek->Open(SeekBar::Mode::Find);
        return true;
    }
    if (control && key.key() == Qt::Key_G) {
        seek->Open(SeekBar::Mode::Line);
        return true;
    }
    if ((plain || shift) && key.key() == Qt::Key_F3 && !seek->Field().text().isEmpty()) {
        Seek(SeekBar::Mode::Find, seek->Field().text(), shift);
        return true;
    }
    // Ctrl+Shift+Z redoes by the edit's own keys; Ctrl+Y as well, as on the handheld.
    if (control && key.key() == Qt::Key_Y) {
        edit->redo();
        return true;
    }
    return false;
}

void ScriptTextWidget::Seek(SeekBar::Mode mode, const QString& what, bool backward)
{
    const bool found = mode == SeekBar::Mode::Find ? Find(what, backward) : GoToLine(what.toInt());
    if (!found) {
        seek->SetNote(mode == SeekBar::Mode::Find ? QStringLiteral("Not found") : QStringLiteral("No such line"));
        return;
    }
    seek->SetNote({});
    // A found match leaves the keys where they were, so Enter in the bar
    // finds again; the line's place is done with the bar.
    if (mode == SeekBar::Mode::Line) {
        seek->hide();
        edit->setFocus(Qt::OtherFocusReason);
    }
    edit->ensureCursorVisible();
}

bool ScriptTextWidget::Find(const QString& what, bool backward)
{
    if (what.isEmpty()) return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (edit->find(what, flags)) return true;
    const QTextCursor before = edit->textCursor();
    edit->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
    if (edit->find(what, flags)) return true;
    edit->setTextCursor(before);
    return false;
}

bool ScriptTextWidget::GoToLine(int line)
{
    const QTextBlock block = edit->document()->findBlockByNumber(line - 1);
    if (!block.isValid()) return false;
    QTextCursor cursor(block);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    return true;
}

namespace {

QWidget* MakeScriptText(QWidget& parent) { return new ScriptTextWidget(&parent); }
void ConnectNothing(QWidget&, ControlBridge&) {}
void SetScriptText(QWidget& widget, const QString& text) { static_cast<ScriptTextWidget&>(widget).SetText(text); }
QString ScriptText(const QWidget& widget) { return static_cast<const ScriptTextWidget&>(widget).Text(); }

} // namespace

const ControlKindTraits kScriptTextTraits{MakeScriptText, ConnectNothing, SetScriptText, ScriptText};

} // namespace vellum::platform
