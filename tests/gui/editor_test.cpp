// The built-in script editor as a user meets it: opened on a device folder
// without a start-up script, typed into with real keys, run with the menu
// and the keys, its errors shown at their place, its files opened and
// saved through the file boxes, closed with its text kept.
#include "gui/form_loop.h"
#include "host/application.h"
#include "host/editor/script_editor.h"
#include "host/register_libraries.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"
#include "platform/desktop/message_box.h"
#include "platform/editor/script_text_widget.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace vellum {
namespace {

namespace fs = std::filesystem;
using platform::ScriptEdit;
using platform::ScriptTextWidget;
using test::ActionNamed;
using test::ButtonWithText;
using test::Modal;
using test::ReadBytes;
using test::Utf16Le;
using test::WhenShown;
using test::WriteBytes;

// Answers the next message box with the button labelled answer (OK when none), keeping its text.
void AnswerNextBox(QString* text, const QString& answer = {})
{
    WhenShown([] { return qobject_cast<QMessageBox*>(Modal()); }, [answer, text](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        *text = box->text();
        QAbstractButton* button = answer.isEmpty() ? box->button(QMessageBox::Ok) : ButtonWithText(box, answer);
        if (button == nullptr) box->reject();
        ASSERT_NE(button, nullptr) << "no button " << answer.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    });
}

// Puts a path into the next file box's name field and clicks its Open or
// Save button (typed, the path would open the completer's list).
void AnswerNextFileBox(const fs::path& file)
{
    WhenShown([] { return qobject_cast<QFileDialog*>(Modal()); }, [file](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_TRUE(name != nullptr && buttons != nullptr);
        name->setText(QString::fromStdString(file.string()));
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) != QDialogButtonBox::AcceptRole) continue;
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
        ADD_FAILURE() << "the file box has no Open or Save button";
        dialog->reject();
    });
}

// The editor's window as the tests reach into it.
struct Editor {
    QWidget* window = nullptr;
    ScriptTextWidget* text = nullptr;
    QPlainTextEdit* edit = nullptr;

    QToolButton* Key(const QString& label) const
    {
        for (auto* key : window->findChildren<QToolButton*>()) {
            if (key->isVisible() && key->text() == label) return key;
        }
        return nullptr;
    }
    void ClickRun() const { QTest::mouseClick(Key(QStringLiteral("Run!")), Qt::LeftButton); }
    // Opens the File pop-up and clicks an entry; the entry's command runs inside the click.
    void Pick(const QString& entry) const
    {
        QTest::mouseClick(Key(QStringLiteral("File")), Qt::LeftButton);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* action = ActionNamed(menu, entry);
        ASSERT_NE(action, nullptr) << "no entry " << entry.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    int CaretLine() const { return edit->textCursor().blockNumber() + 1; }
};

// The shown window titled title, or none.
QWidget* Shown(const QString& title)
{
    QWidget* window = platform::FormWindowTitled(title);
    return window != nullptr && window->isVisible() ? window : nullptr;
}

QWidget* FindEditor()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->findChild<ScriptTextWidget*>() != nullptr) return w;
    }
    return nullptr;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // These tests answer the boxes themselves.
        platform::SetConsoleMode(false);
        platform::SetDeviceScreen({{480, 640}, 96});
    }
    void TearDown() override
    {
        platform::SetConsoleMode(true);
        platform::SetDeviceScreen({});
    }

    // Opens the editor on the folder, runs steps inside its loop, closes
    // its window the way a user does, and gives the program's status.
    int WithEditor(const std::function<void(const Editor&)>& steps)
    {
        const platform::DeviceFolder folder(dir.path);
        Application application(folder, u"default.q9c", RegisterLibraries);
        application.SetEditor(OpenScriptEditor);
        test::FormWatchdog watchdog;
        const QPointer<QTimer> waiting = WhenShown(FindEditor, [&steps](QWidget* w) {
            auto* text = w->findChild<ScriptTextWidget*>();
            steps(Editor{w, text, text->findChild<QPlainTextEdit*>()});
            if (const QPointer<QWidget> window(w); window != nullptr) window->close();
        });
        const int status = application.Run();
        delete waiting.data();
        return status;
    }

    fs::path EditorFile() const { return dir.path / "defaultide.q9c"; }

    test::TempFolder dir;
};

TEST_F(EditorTest, WhileARunsFormIsOpenTheEditorDoesNotRunAgainAndClosingStopsTheRun)
{
    int busyForms = 0;
    bool editorStayed = false;
    const int status = WithEditor([&](const Editor& e) {
        e.text->SetText(QStringLiteral("TForm({title = 'Busy', view = TRectangle({})}).Show()\nMsgBox('after')"));
        const auto busy = [] { return Shown(QStringLiteral("Busy")); };
        const QPointer<QTimer> waiting = WhenShown(busy, [&busyForms, &editorStayed, e](QWidget*) {
            QTest::keyClick(e.edit, Qt::Key_R, Qt::ControlModifier);
            for (QWidget* w : QApplication::topLevelWidgets()) busyForms += w->isVisible() && w->windowTitle() == "Busy";
            e.window->close();
            // The window goes once the stopped run has unwound.
            editorStayed = e.window->isVisible();
        });
        e.ClickRun();
        delete waiting.data();
        EXPECT_EQ(busy(), nullptr);
    });
    EXPECT_EQ(busyForms, 1);
    EXPECT_TRUE(editorStayed);
    // Stopped before MsgBox('after'), without an error box; the text was saved.
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(EditorFile()), Utf16Le("TForm({title = 'Busy', view = TRectangle({})}).Show()\r\nMsgBox('after')", false));
}

TEST_F(EditorTest, StopEndsARunWhereverItIsAndKeepsTheText)
{
    WithEditor([&](const Editor& e) {
        // Each run is stopped by another means once it has started; the message says where, and no form of
        // the run stays.
        const auto stop = [&](const QString& script, const char* where, const std::function<void()>& how) {
            e.text->SetText(script);
            QTimer::singleShot(300, e.window, how);
            QString message;
            AnswerNextBox(&message);
            e.ClickRun();
            EXPECT_EQ(e.text->Text(), script);
            EXPECT_TRUE(message.startsWith(where)) << message.toStdString();
            EXPECT_EQ(Shown(QStringLiteral("Spin")), nullptr);
        };
        // An endless loop, stopped from the menu, which offers Stop while it runs.
        stop(QStringLiteral("var i = 0\r\nwhile true i = i + 1 end"), "Stopped (line 2, column ", [&] {
            EXPECT_EQ(e.Key(QStringLiteral("Run!")), nullptr);
            QTest::mouseClick(e.Key(QStringLiteral("Stop")), Qt::LeftButton);
        });
        EXPECT_EQ(e.CaretLine(), 2);
        // A deep recursion, stopped by Escape.
        stop(QStringLiteral("function F(n)\r\n if n > 40 return 0 end return F(n + 1) + F(n + 1)\r\nend\r\nF(0)"),
             "Stopped (line 2, column ", [&] { QTest::keyClick(e.edit, Qt::Key_Escape); });
        // A form's handler that never returns, stopped by Ctrl+Break: the form goes too.
        stop(QStringLiteral("var f = TForm({title = 'Spin', view = TRectangle({}),\r\n"
                            "  OnCreate = function() while true end end})\r\nf.Show()\r\nMsgBox('not reached')"),
             "Stopped (line 2, column ", [&] { QTest::keyClick(e.edit, Qt::Key_Pause, Qt::ControlModifier); });
        // A form waiting for its user: its loop ends and the run stops after it.
        stop(QStringLiteral("TForm({title = 'Spin', view = TRectangle({})}).Show()\r\nMsgBox('not reached')"),
             "Stopped (line ", [&] { QTest::keyClick(e.edit, Qt::Key_Escape); });
        // The next run runs as before. While it computes, the editor answers
        // but the view's timer ticks only once the form's loop runs again.
        e.text->SetText(QStringLiteral("var ticks = 0\r\nvar during = -1\r\n"
                                       "var f = TForm({title = 'Busy', view = TRectangle({\r\n"
                                       "  OnCreate = function() this.SetTimer(10) var t = TickCount()\r\n"
                                       "    while TickCount() - t < 300 end during = ticks this.Form().Close() end,\r\n"
                                       "  OnTimer = function() ticks = ticks + 1 end})})\r\n"
                                       "f.Show()\r\nMsgBox('again ' & during)"));
        QString again;
        AnswerNextBox(&again);
        e.ClickRun();
        EXPECT_EQ(again, "again 0");
    });
}

TEST_F(EditorTest, OpenAsksBeforeReplacingUnsavedTextReadsUtf16AndUtf8AndSaveAsWritesUtf16WithTheMark)
{
    WriteBytes(dir.path / "marked.q9c", Utf16Le("MsgBox(1)\r\n", true));
    WriteBytes(dir.path / "utf8.q9c", "MsgBox('\xC3\xA9')\n");
    WriteBytes(dir.path / "ansi.q9c", "MsgBox('\xE9\x80')");
    WriteBytes(dir.path / "other.q9c", Utf16Le("MsgBox('other')", true));
    test::TempFolder outside;
    WithEditor([&](const Editor& e) {
        const auto open = [&](const fs::path& file) {
            AnswerNextFileBox(file);
            e.Pick(QStringLiteral("Open..."));
            return e.text->Text();
        };
        // Open asks before replacing a text never saved as a file.
        QTest::keyClicks(e.edit, "var mine = 1");
        const QString typed = e.text->Text();
        QString question;
        // Cancel: nothing is opened, the text stays.
        AnswerNextBox(&question, QStringLiteral("Cancel"));
        e.Pick(QStringLiteral("Open..."));
        EXPECT_NE(question.indexOf("changed"), -1);
        EXPECT_EQ(e.text->Text(), typed);
        // Save As...: saved first, then opened.
        AnswerNextBox(&question, QStringLiteral("Save As..."));
        AnswerNextFileBox(dir.path / "kept");
        EXPECT_EQ(open(dir.path / "other.q9c"), "MsgBox('other')");
        EXPECT_EQ(ReadBytes(dir.path / "kept.q9c"), Utf16Le("var mine = 1", true));
        // Discard: the change is dropped.
        QTest::keyClicks(e.edit, " ");
        question.clear();
        AnswerNextBox(&question, QStringLiteral("Discard"));
        EXPECT_EQ(open(dir.path / "kept.q9c"), "var mine = 1");
        EXPECT_FALSE(question.isEmpty());

        EXPECT_EQ(open(dir.path / "marked.q9c"), "MsgBox(1)\r\n");
        EXPECT_EQ(open(dir.path / "utf8.q9c"), QString::fromUtf8("MsgBox('\xC3\xA9')\r\n"));
        // An opened text is undone as a whole, not into the one before.
        EXPECT_FALSE(e.edit->document()->isUndoAvailable());
        // Latin-1 text is neither UTF-16 nor UTF-8: it is refused, the text stays.
        QString refused;
        AnswerNextBox(&refused);
        EXPECT_EQ(open(dir.path / "ansi.q9c"), QString::fromUtf8("MsgBox('\xC3\xA9')\r\n"));
        EXPECT_EQ(refused, "ansi.q9c is not a script: it is neither UTF-16 nor UTF-8 text");

        AnswerNextFileBox(dir.path / "copy.q9c");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_EQ(ReadBytes(dir.path / "copy.q9c"), "\xFF\xFE" + Utf16Le("MsgBox('", false) +
                                                         std::string("\xE9\x00", 2) + Utf16Le("')\r\n", false));
        // A name without an extension gets the scripts' one, so that Open lists it.
        e.text->SetText(QStringLiteral("line one\nline two"));
        AnswerNextFileBox(dir.path / "mine");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_FALSE(fs::exists(dir.path / "mine"));
        EXPECT_EQ(ReadBytes(dir.path / "mine.q9c"), Utf16Le("line one\r\nline two", true));
        // Saved as a file, the text is replaced without a question.
        EXPECT_EQ(open(dir.path / "marked.q9c"), "MsgBox(1)\r\n");
        EXPECT_EQ(open(dir.path / "mine.q9c"), "line one\r\nline two");

        // Outside the device folder the editor neither reads nor writes.
        QString refusal;
        AnswerNextBox(&refusal);
        AnswerNextFileBox(outside.path / "escaped.q9c");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_EQ(refusal, "Choose a file inside the device folder.");
        EXPECT_FALSE(fs::exists(outside.path / "escaped.q9c"));
    });
}

TEST_F(EditorTest, KeysUndoRedoFindGoToLineAndRunAndTheTextIsColoured)
{
    WithEditor([&](const Editor& e) {
        QTest::keyClicks(e.edit, "one");
        QTest::keyClick(e.edit, Qt::Key_Return);
        QTest::keyClicks(e.edit, "two");
        QTest::keyClick(e.edit, Qt::Key_Return);
        QTest::keyClicks(e.edit, "three two");
        EXPECT_EQ(e.text->CaretPlace(), "Line 3, Col 10");

        // Undo goes back step by step and redo forward again.
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier);
        const QString older = e.edit->toPlainText();
        QTest::keyClick(e.edit, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_NE(e.edit->toPlainText(), older);
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(e.edit->toPlainText(), "one\ntwo\nthree two");

        // A key, then where the caret is.
        const auto press = [&](QWidget* target, Qt::Key key, Qt::KeyboardModifiers with = {}) {
            QTest::keyClick(target, key, with);
            return e.text->CaretPlace();
        };
        // Ctrl+F (or Ctrl+G) opens the field; what is typed in it is looked for (or gone to) on Enter.
        QLineEdit& field = e.text->Seek().Field();
        const auto seek = [&](Qt::Key opener, const char* text) {
            press(e.edit, opener, Qt::ControlModifier);
            field.clear();
            QTest::keyClicks(&field, text);
            return press(&field, Qt::Key_Return);
        };
        // Finding starts at the caret and wraps round; Enter again finds the
        // next match and never types into the text; Shift+Enter goes back.
        e.edit->moveCursor(QTextCursor::Start);
        EXPECT_EQ(seek(Qt::Key_F, "two"), "Line 2, Col 4");
        EXPECT_EQ(press(&field, Qt::Key_Return), "Line 3, Col 10");
        EXPECT_EQ(press(&field, Qt::Key_Enter), "Line 2, Col 4");
        EXPECT_EQ(press(&field, Qt::Key_Return, Qt::ShiftModifier), "Line 3, Col 10");
        EXPECT_EQ(e.edit->toPlainText(), "one\ntwo\nthree two");
        press(&field, Qt::Key_Return);
        press(&field, Qt::Key_Escape);
        // F3 finds again, Shift+F3 backwards.
        EXPECT_EQ(press(e.edit, Qt::Key_F3), "Line 3, Col 10");
        press(e.edit, Qt::Key_F3);
        EXPECT_EQ(press(e.edit, Qt::Key_F3, Qt::ShiftModifier), "Line 3, Col 10");
        press(e.edit, Qt::Key_F3, Qt::ShiftModifier);
        EXPECT_EQ(seek(Qt::Key_F, "absent"), "Line 2, Col 4");
        press(&field, Qt::Key_Escape);
        // Ctrl+G goes to a line; a line past the end stays put.
        EXPECT_EQ(seek(Qt::Key_G, "3"), "Line 3, Col 1");
        EXPECT_EQ(seek(Qt::Key_G, "9"), "Line 3, Col 1");
        press(&field, Qt::Key_Escape);

        // Keywords, strings, numbers and comments have colours of their own.
        e.text->SetText(QStringLiteral("var s = 'a\n b' # note\nif x1 while 12.5e3 /* c\n d */ end"));
        const auto colourAt = [&](int line, int column) {
            const QTextBlock block = e.edit->document()->findBlockByNumber(line - 1);
            for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
                if (column - 1 >= range.start && column - 1 < range.start + range.length) {
                    return range.format.foreground().color();
                }
            }
            return QColor();
        };
        const QColor keyword = colourAt(1, 1);
        const QColor string = colourAt(1, 9);
        const QColor comment = colourAt(2, 5);
        const QColor number = colourAt(3, 13);
        EXPECT_EQ(QSet<QRgb>({keyword.rgb(), string.rgb(), comment.rgb(), number.rgb()}).size(), 4);
        // The string runs on over the line end; names and words inside strings stay plain.
        EXPECT_EQ(colourAt(2, 2), string);
        EXPECT_FALSE(colourAt(3, 4).isValid()); // x1
        EXPECT_EQ(colourAt(3, 7), keyword);       // while
        EXPECT_EQ(colourAt(3, 17), number);       // the exponent
        EXPECT_EQ(colourAt(4, 2), comment);       // the block comment's second line

        // Ctrl+R and F5 run the text, as "Run!" does.
        e.text->SetText(QStringLiteral("MsgBox('keyed')"));
        for (const auto& [key, with] : {std::pair(Qt::Key_R, Qt::ControlModifier), std::pair(Qt::Key_F5, Qt::NoModifier)}) {
            QString ran;
            AnswerNextBox(&ran);
            QTest::keyClick(e.edit, key, with);
            EXPECT_EQ(ran, "keyed");
        }
    });
}

// Runs the steps one at each stop of a run in the debugger, in order; each
// ends with the key or button that lets the run go on. A stop is counted
// as the panel showing.
class AtEachStop final : public QObject {
public:
    AtEachStop(const Editor& e, std::vector<std::function<void()>> steps_) : panel(&e.text->Panel()), steps(std::move(steps_))
    {
        panel->installEventFilter(this);
        timer.setInterval(10);
        timer.callOnTimeout([this] {
            if (panel == nullptr || !panel->isVisible() || done >= stops || done >= steps.size()) return;
            steps[done++]();
        });
        timer.start();
    }
    bool AllRan() const { return done == steps.size() && stops == steps.size(); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        stops += event->type() == QEvent::Show;
        return false;
    }

private:
    QPointer<QWidget> panel;
    std::vector<std::function<void()>> steps;
    size_t stops = 0;
    size_t done = 0;
    QTimer timer;
};

// The rows of a tree level as "name = value" ("name" alone without a value).
QStringList Rows(const QTreeWidget& tree, const QTreeWidgetItem* parent = nullptr)
{
    const QTreeWidgetItem* level = parent != nullptr ? parent : tree.invisibleRootItem();
    QStringList rows;
    for (int i = 0; i < level->childCount(); ++i) {
        const QTreeWidgetItem* row = level->child(i);
        rows << (row->text(1).isEmpty() ? row->text(0) : row->text(0) + " = " + row->text(1));
    }
    return rows;
}

// Opens the row named name under parent (the top level for none), as a click on its arrow does.
QTreeWidgetItem* Open(QTreeWidget& tree, QTreeWidgetItem* parent, const QString& name)
{
    QTreeWidgetItem* level = parent != nullptr ? parent : tree.invisibleRootItem();
    for (int i = 0; i < level->childCount(); ++i) {
        QTreeWidgetItem* row = level->child(i);
        if (row->text(0) != name) continue;
        tree.scrollToItem(row);
        const QRect box = tree.visualItemRect(row);
        // The arrow lies in the indentation left of the row's text.
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(box.left() - tree.indentation() / 2, box.center().y()));
        EXPECT_TRUE(row->isExpanded()) << name.toStdString();
        return row;
    }
    ADD_FAILURE() << "no row " << name.toStdString() << " in " << Rows(tree, parent).join(", ").toStdString();
    return nullptr;
}

// The middle of a line of the text, in the edit's coordinates; x in the margin or the text.
QPoint LineMiddle(const Editor& e, int line, bool inMargin)
{
    QTextCursor cursor(e.edit->document()->findBlockByNumber(line - 1));
    const QRect caret = e.edit->cursorRect(cursor);
    const int marginWidth = static_cast<ScriptEdit*>(e.edit)->MarginWidth();
    return {inMargin ? e.edit->contentsRect().left() + marginWidth / 4 : marginWidth + 40,
            caret.center().y() + e.edit->viewport()->y()};
}

// A click in the margin beside a line, sent to the window as a user's click
// comes, so that it reaches the widget under it.
void ClickMargin(const Editor& e, int line)
{
    QTest::mouseClick(e.window->windowHandle(), Qt::LeftButton, {}, e.edit->mapTo(e.window, LineMiddle(e, line, true)));
}

TEST_F(EditorTest, BreakpointsFromF9OrTheMarginMoveWithTheirLinesAndStopARunThatStepsAndShowsItsStack)
{
    QString shown;
    WithEditor([&](const Editor& e) {
        auto& edit = static_cast<ScriptEdit&>(*e.edit);
        auto& stack = e.text->Panel().Stack();
        auto& variables = e.text->Panel().Variables();
        e.text->SetText(QStringLiteral("function Add(a, b)\n"
                                       "  var sum = a + b\n"
                                       "  return sum\n"
                                       "end\n"
                                       "var t = {name = 'x', n = 5}\n"
                                       "t.self = t\n"
                                       "var r = Add(1, 2)\n"
                                       "r = Add(r, 3)\n"
                                       "MsgBox('r=' & r)"));
        e.edit->setTextCursor(QTextCursor(e.edit->document()->findBlockByNumber(6)));
        QTest::keyClick(e.edit, Qt::Key_F9);

        const auto variablesOf = [&](int frame) {
            stack.setCurrentItem(stack.topLevelItem(frame));
            return Rows(variables);
        };
        AtEachStop stops(e, {
            [&] {
                // At the breakpoint, before line 7 runs: the line is shaded
                // and the stack is the top level alone.
                EXPECT_EQ(edit.StopLine(), 7);
                const QImage image = e.edit->grab().toImage();
                EXPECT_EQ(image.pixelColor(LineMiddle(e, 7, false)), QColor(0xFF, 0xE0, 0x60));
                EXPECT_EQ(Rows(stack), QStringList({"(main) = 7"}));
                // Globals open in place, and a table that holds itself opens as deep as asked.
                QTreeWidgetItem* t = Open(variables, Open(variables, nullptr, "Globals"), "t");
                ASSERT_NE(t, nullptr);
                EXPECT_TRUE(Rows(variables, t).contains("n = 5")) << Rows(variables, t).join(", ").toStdString();
                QTreeWidgetItem* self = Open(variables, Open(variables, t, "self"), "self");
                ASSERT_NE(self, nullptr);
                EXPECT_TRUE(Rows(variables, self).contains("n = 5"));
                QTest::keyClick(e.edit, Qt::Key_F11);
            },
            [&] {
                // Stepped into Add: its arguments, and the caller below it.
                EXPECT_EQ(edit.StopLine(), 2);
                EXPECT_EQ(Rows(stack), QStringList({"Add = 2", "(main) = 7"}));
                const QStringList locals = variablesOf(0);
                EXPECT_TRUE(locals.contains("a = 1")) << locals.join(", ").toStdString();
                // Choosing the caller shades its line and shows its variables.
                variablesOf(1);
                EXPECT_EQ(edit.StopLine(), 7);
                variablesOf(0);
                QTest::keyClick(e.edit, Qt::Key_F10);
            },
            [&] {
                // Over one statement, in the same function.
                EXPECT_EQ(edit.StopLine(), 3);
                EXPECT_TRUE(variablesOf(0).contains("sum = 3"));
                QTest::keyClick(e.edit, Qt::Key_F11, Qt::ShiftModifier);
            },
            [&] {
                // Out of Add, at the caller's next statement.
                EXPECT_EQ(edit.StopLine(), 8);
                EXPECT_EQ(Rows(stack), QStringList({"(main) = 8"}));
                // Over the call: Add runs through without stopping.
                QTest::keyClick(e.edit, Qt::Key_F10);
            },
            [&] {
                EXPECT_EQ(edit.StopLine(), 9);
                QTreeWidgetItem* globals = Open(variables, nullptr, "Globals");
                ASSERT_NE(globals, nullptr);
                EXPECT_TRUE(Rows(variables, globals).contains("r = 6"));
                // The panel's Continue goes on to the end.
                for (auto* button : e.text->Panel().findChildren<QToolButton*>()) {
                    if (button->text() == "Continue") QTest::mouseClick(button, Qt::LeftButton);
                }
            },
        });
        AnswerNextBox(&shown);
        QTest::keyClick(e.edit, Qt::Key_R, Qt::ControlModifier);
        EXPECT_TRUE(stops.AllRan());
        // The run is over: no panel, no shade; the breakpoint stays.
        EXPECT_FALSE(e.text->Panel().isVisible());
        EXPECT_EQ(edit.BreakpointLines(), std::vector<int>({7}));
        // A click in the margin sets a breakpoint and another clears it; a breakpoint is a red dot
        // in the margin and moves with its line.
        ClickMargin(e, 3);
        EXPECT_EQ(edit.BreakpointLines(), std::vector<int>({3, 7}));
        ClickMargin(e, 3);
        EXPECT_EQ(edit.BreakpointLines(), std::vector<int>({7}));
        const QImage image = e.edit->grab().toImage();
        const QColor dot = image.pixelColor(LineMiddle(e, 7, true));
        EXPECT_GT(dot.red(), 150);
        EXPECT_LT(dot.green(), 80);
        EXPECT_NE(image.pixelColor(LineMiddle(e, 3, true)), dot);
        e.edit->moveCursor(QTextCursor::Start);
        QTest::keyClick(e.edit, Qt::Key_Return);
        EXPECT_EQ(edit.BreakpointLines(), std::vector<int>({8}));
    });
    EXPECT_EQ(shown, "r=6");
}

TEST_F(EditorTest, AStoppedRunsFormsStayPaintedTakeNoInputAndStopEndsTheRun)
{
    QString message;
    WithEditor([&](const Editor& e) {
        e.text->SetText(QStringLiteral("var clicks = 0\n"
                                       "var f = TForm({title = 'Held', view = TRectangle({style = {fill = 'red'},\n"
                                       "  OnClick = function() clicks = clicks + 1 end,\n"
                                       "  OnCreate = function() this.SetTimer(10) end,\n"
                                       "  OnTimer = function()\n"
                                       "    var seen = clicks\n"
                                       "  end})})\n"
                                       "f.Show()\n"));
        static_cast<ScriptEdit*>(e.edit)->ToggleBreakpoint(6);
        int stoppedAt = 0;
        QStringList globals;
        AtEachStop stops(e, {[&] {
            stoppedAt = static_cast<ScriptEdit*>(e.edit)->StopLine();
            QWidget* form = platform::FormWindowTitled(QStringLiteral("Held"));
            ASSERT_NE(form, nullptr);
            // Painted, and a tap on it reaches no handler while the run is stopped.
            const QImage painted = form->grab().toImage();
            EXPECT_EQ(painted.pixelColor(painted.width() / 2, painted.height() / 2), QColor(Qt::red));
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(form->width() / 2, form->height() / 2));
            // The timer holds too: no second stop comes while this one lasts.
            QTest::qWait(60);
            QTreeWidget& variables = e.text->Panel().Variables();
            globals = Rows(variables, Open(variables, nullptr, "Globals"));
            QTest::keyClick(e.edit, Qt::Key_Escape);
        }});
        AnswerNextBox(&message);
        e.ClickRun();
        EXPECT_TRUE(stops.AllRan());
        EXPECT_EQ(stoppedAt, 6);
        EXPECT_TRUE(globals.contains("clicks = 0")) << globals.join(", ").toStdString();
        EXPECT_EQ(platform::FormWindowTitled(QStringLiteral("Held")), nullptr);
    });
    EXPECT_TRUE(message.startsWith("Stopped (line ")) << message.toStdString();
}

} // namespace
} // namespace vellum
