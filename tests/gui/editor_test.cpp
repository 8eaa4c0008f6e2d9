// The built-in script editor as a user meets it: opened on a device folder
// without a start-up script, typed into with real keys, run with the menu
// and the keys, its errors shown at their place, its files opened and
// saved through the file boxes, closed with its text kept.
#include "gui/form_loop.h"
#include "host/application.h"
#include "host/editor/script_editor.h"
#include "host/register_libraries.h"
#include "host/temp_folder.h"
#include "platform/desktop/message_box.h"
#include "platform/editor/script_text_widget.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace vellum {
namespace {

namespace fs = std::filesystem;
using platform::ScriptTextWidget;
using test::WhenShown;

// The bytes of an ASCII text as UTF-16LE, after the mark when asked.
std::string Utf16(const std::string& ascii, bool mark)
{
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

QWidget* Modal() { return QApplication::activeModalWidget(); }

// Answers the next message box with OK, keeping its text and caption.
void AnswerNextBox(QString* text, QString* caption = nullptr)
{
    WhenShown([] { return qobject_cast<QMessageBox*>(Modal()); }, [text, caption](QWidget* w) {
        auto* box = static_cast<QMessageBox*>(w);
        *text = box->text();
        if (caption != nullptr) *caption = box->windowTitle();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
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
        ASSERT_NE(name, nullptr);
        ASSERT_NE(buttons, nullptr);
        name->setText(QString::fromStdString(file.string()));
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
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
        for (QAction* action : menu->actions()) {
            if (action->text() == entry) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        ADD_FAILURE() << "no entry " << entry.toStdString();
    }
    int CaretLine() const { return edit->textCursor().blockNumber() + 1; }
    int CaretColumn() const { return edit->textCursor().positionInBlock() + 1; }
};

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
        WhenShown(FindEditor, [&steps](QWidget* w) {
            auto* text = w->findChild<ScriptTextWidget*>();
            steps(Editor{w, text, text->findChild<QPlainTextEdit*>()});
            if (const QPointer<QWidget> window(w); window != nullptr) window->close();
        });
        return application.Run();
    }

    fs::path EditorFile() const { return dir.path / "defaultide.q9c"; }

    test::TempFolder dir;
};

TEST_F(EditorTest, OpensWithItsFileAndTheShellsMenuAndSavesWhenClosed)
{
    WriteFile(EditorFile(), Utf16("MsgBox('hi')\r\n", true));
    const int status = WithEditor([](const Editor& e) {
        EXPECT_EQ(e.window->windowTitle(), "Vellum");
        EXPECT_EQ(e.edit->toPlainText(), "MsgBox('hi')\n");
        EXPECT_NE(e.Key("File"), nullptr);
        EXPECT_NE(e.Key("Run!"), nullptr);
        EXPECT_EQ(e.window->focusWidget(), e.edit);
        // The text fills the client area, below the title strip, above the bar.
        EXPECT_GT(e.text->height(), e.window->height() / 2);
        // A monospaced font readable on a desktop; tab stops two characters
        // apart. Monospaced means equal advances: some faces that have them
        // (Noto Sans Mono) are not flagged fixed-pitch by the font database.
        const QFontMetricsF metrics(e.edit->font());
        EXPECT_EQ(metrics.horizontalAdvance("iii"), metrics.horizontalAdvance("WWW"));
        EXPECT_GE(QFontInfo(e.edit->font()).pointSize(), 11);
        EXPECT_NEAR(e.edit->tabStopDistance(), 2 * QFontMetricsF(e.edit->font()).averageCharWidth(), 0.01);

        e.edit->moveCursor(QTextCursor::End);
        QTest::keyClicks(e.edit, "var kept = 1");
    });
    EXPECT_EQ(status, 0);
    // Closing saved the text: UTF-16LE, CR LF line ends, no mark.
    EXPECT_EQ(ReadBytes(EditorFile()), Utf16("MsgBox('hi')\r\nvar kept = 1", false));
}

TEST_F(EditorTest, RunSavesTheTextAndRunsItInAFreshInterpreterEachTime)
{
    QString first, second, caption;
    WithEditor([&](const Editor& e) {
        EXPECT_EQ(e.edit->toPlainText(), "");
        QTest::keyClicks(e.edit, "var gShared = 'set'");
        QTest::keyClick(e.edit, Qt::Key_Return);
        QTest::keyClicks(e.edit, "MsgBox('ran ' & gShared)");
        AnswerNextBox(&first);
        e.ClickRun();
        EXPECT_EQ(first, "ran set");
        // The file holds the text that ran.
        EXPECT_EQ(ReadBytes(EditorFile()), Utf16("var gShared = 'set'\r\nMsgBox('ran ' & gShared)", false));

        // The next run does not know the first one's global.
        e.text->SetText(QStringLiteral("MsgBox(gShared)"));
        AnswerNextBox(&second, &caption);
        e.ClickRun();
        EXPECT_EQ(e.window->focusWidget(), e.edit);
    });
    EXPECT_EQ(caption, "Vellum Error");
    EXPECT_EQ(second, "Undeclared identifier \"gShared\"");
}

TEST_F(EditorTest, ErrorsPutTheCaretWhereTheyHappenedAndTheEditorStays)
{
    QString message, caption;
    WithEditor([&](const Editor& e) {
        // A syntax error.
        e.text->SetText(QStringLiteral("var a = 1\r\nvar b = (a +\r\n"));
        AnswerNextBox(&message, &caption);
        e.ClickRun();
        EXPECT_EQ(caption, "Vellum Error");
        EXPECT_EQ(e.CaretLine(), 3);
        EXPECT_TRUE(e.window->isVisible());
        EXPECT_EQ(e.text->Text(), "var a = 1\r\nvar b = (a +\r\n");

        // A run-time error, reached through a function.
        e.text->SetText(QStringLiteral("function F(x)\r\n  return x + 'a'\r\nend\r\nF(1)"));
        AnswerNextBox(&message);
        e.ClickRun();
        EXPECT_EQ(message.toStdString(), "Number expected");
        EXPECT_EQ(e.CaretLine(), 2);
        EXPECT_EQ(e.CaretColumn(), 12);
        EXPECT_EQ(e.window->focusWidget(), e.edit);
        EXPECT_EQ(ReadBytes(EditorFile()), Utf16("function F(x)\r\n  return x + 'a'\r\nend\r\nF(1)", false));
    });
}

TEST_F(EditorTest, AnErrorInAFormsHandlerPlacesTheCaretOnceTheFormCloses)
{
    QString message;
    WithEditor([&](const Editor& e) {
        e.text->SetText(QStringLiteral("var gForm = TForm({title = 'Handler', view = TRectangle({}),\n"
                                       "  OnCreate = function() this.Close() var z = 2 + 'b' end})\n"
                                       "gForm.Show()\n"));
        AnswerNextBox(&message);
        e.ClickRun();
        EXPECT_EQ(message.toStdString(), "Number expected");
        EXPECT_EQ(e.CaretLine(), 2);
        EXPECT_EQ(e.CaretColumn(), e.edit->textCursor().block().text().indexOf("+ 'b'") + 1);
    });
}

TEST_F(EditorTest, AnErrorInAShownFormsHandlerEndsTheRunAtOnceWithTheCaretOnIt)
{
    QString message;
    WithEditor([&](const Editor& e) {
        e.text->SetText(QStringLiteral("var gForm = TForm({title = 'Ticking', view = TText({text = 'tick',\n"
                                       "  OnCreate = function() this.SetTimer(10) end,\n"
                                       "  OnTimer = function() var z = 3 + 'c' end})})\n"
                                       "gForm.Show()\n"));
        AnswerNextBox(&message);
        // The form stays open until its first tick fails: then the run ends
        // by itself, with no one closing the form.
        e.ClickRun();
        EXPECT_EQ(message.toStdString(), "Number expected");
        EXPECT_EQ(e.CaretLine(), 3);
        EXPECT_EQ(platform::FormWindowTitled(QStringLiteral("Ticking")), nullptr);
        EXPECT_TRUE(e.window->isVisible());
    });
}

TEST_F(EditorTest, WhileARunsFormIsOpenTheEditorNeitherRunsAgainNorGoesUntilTheRunEnds)
{
    QString after;
    int busyForms = 0;
    bool editorStayed = false;
    const int status = WithEditor([&](const Editor& e) {
        e.text->SetText(QStringLiteral("TForm({title = 'Busy', view = TRectangle({})}).Show()\nMsgBox('after')"));
        const auto busy = [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->windowTitle() == "Busy") return w;
            }
            return static_cast<QWidget*>(nullptr);
        };
        WhenShown(busy, [&](QWidget* form) {
            e.ClickRun();
            e.window->close();
            editorStayed = e.window->isVisible();
            for (QWidget* w : QApplication::topLevelWidgets()) busyForms += w->isVisible() && w->windowTitle() == "Busy";
            form->close();
        });
        AnswerNextBox(&after);
        e.ClickRun();
    });
    EXPECT_EQ(busyForms, 1);
    EXPECT_TRUE(editorStayed);
    // The run went on to its end, and then the close asked for during it was done.
    EXPECT_EQ(after, "after");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(EditorFile()), Utf16("TForm({title = 'Busy', view = TRectangle({})}).Show()\r\nMsgBox('after')", false));
}

TEST_F(EditorTest, OpenReadsEveryEncodingAndSaveAsWritesUtf16WithTheMark)
{
    WriteFile(dir.path / "marked.q9c", Utf16("MsgBox(1)\r\n", true));
    WriteFile(dir.path / "bare.q9c", Utf16("MsgBox(2)", false));
    WriteFile(dir.path / "big.q9c", std::string("\xFE\xFF\0M\0(\0)", 8));
    WriteFile(dir.path / "utf8.q9c", "MsgBox('\xC3\xA9')\n");
    WriteFile(dir.path / "ansi.q9c", "MsgBox('\xE9\x80')");
    test::TempFolder outside;
    WithEditor([&](const Editor& e) {
        const auto open = [&](const fs::path& file) {
            AnswerNextFileBox(file);
            e.Pick(QStringLiteral("Open..."));
            return e.text->Text();
        };
        EXPECT_EQ(open(dir.path / "marked.q9c"), "MsgBox(1)\r\n");
        EXPECT_EQ(open(dir.path / "bare.q9c"), "MsgBox(2)");
        EXPECT_EQ(open(dir.path / "big.q9c"), "M()");
        EXPECT_EQ(open(dir.path / "utf8.q9c"), QString::fromUtf8("MsgBox('\xC3\xA9')\r\n"));
        // Code page 1252: 0x80 is the euro sign.
        EXPECT_EQ(open(dir.path / "ansi.q9c"), QStringLiteral(u"MsgBox('\u00E9\u20AC')"));
        // An opened text is undone as a whole, not into the one before.
        EXPECT_FALSE(e.edit->document()->isUndoAvailable());

        AnswerNextFileBox(dir.path / "copy.q9c");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_EQ(ReadBytes(dir.path / "copy.q9c"), "\xFF\xFE" + Utf16("MsgBox('", false) +
                                                         std::string("\xE9\x00\xAC\x20", 4) + Utf16("')", false));
        e.text->SetText(QStringLiteral("line one\nline two"));
        AnswerNextFileBox(dir.path / "copy.q9c");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_EQ(ReadBytes(dir.path / "copy.q9c"), Utf16("line one\r\nline two", true));
        e.text->SetText(QString());
        EXPECT_EQ(open(dir.path / "copy.q9c"), "line one\r\nline two");

        // Outside the device folder the editor neither reads nor writes.
        QString refusal;
        AnswerNextBox(&refusal);
        AnswerNextFileBox(outside.path / "escaped.q9c");
        e.Pick(QStringLiteral("Save As..."));
        EXPECT_EQ(refusal, "Choose a file inside the device folder.");
        EXPECT_FALSE(fs::exists(outside.path / "escaped.q9c"));
    });
}

TEST_F(EditorTest, KeysUndoRedoFindGoToLineAndRun)
{
    WithEditor([&](const Editor& e) {
        QTest::keyClicks(e.edit, "one");
        QTest::keyClick(e.edit, Qt::Key_Return);
        QTest::keyClicks(e.edit, "two");
        QTest::keyClick(e.edit, Qt::Key_Return);
        QTest::keyClicks(e.edit, "three two");
        auto* place = e.text->findChild<QLabel*>();
        EXPECT_EQ(e.text->CaretPlace(), "Line 3, Col 10");
        EXPECT_TRUE(place->isVisible());

        // Undo goes back step by step and redo forward again.
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_NE(e.edit->toPlainText(), "one\ntwo\nthree two");
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier);
        const QString older = e.edit->toPlainText();
        QTest::keyClick(e.edit, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(e.edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(e.edit->toPlainText(), "one\ntwo\nthree two");
        EXPECT_NE(older, e.edit->toPlainText());

        // Ctrl+F finds from the caret on and wraps round; F3 finds again.
        e.edit->moveCursor(QTextCursor::Start);
        QTest::keyClick(e.edit, Qt::Key_F, Qt::ControlModifier);
        QLineEdit& field = e.text->Seek().Field();
        EXPECT_EQ(e.window->focusWidget(), &field);
        QTest::keyClicks(&field, "two");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(e.text->CaretPlace(), "Line 2, Col 4");
        QTest::keyClick(&field, Qt::Key_Escape);
        EXPECT_EQ(e.window->focusWidget(), e.edit);
        QTest::keyClick(e.edit, Qt::Key_F3);
        EXPECT_EQ(e.text->CaretPlace(), "Line 3, Col 10");
        QTest::keyClick(e.edit, Qt::Key_F3);
        EXPECT_EQ(e.text->CaretPlace(), "Line 2, Col 4");
        QTest::keyClick(e.edit, Qt::Key_F, Qt::ControlModifier);
        field.clear();
        QTest::keyClicks(&field, "absent");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(e.text->CaretPlace(), "Line 2, Col 4");
        QTest::keyClick(&field, Qt::Key_Escape);

        // Ctrl+G goes to a line; a line past the end stays put.
        QTest::keyClick(e.edit, Qt::Key_G, Qt::ControlModifier);
        QTest::keyClicks(&field, "3");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(e.text->CaretPlace(), "Line 3, Col 1");
        EXPECT_EQ(e.window->focusWidget(), e.edit);
        QTest::keyClick(e.edit, Qt::Key_G, Qt::ControlModifier);
        field.clear();
        QTest::keyClicks(&field, "9");
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(e.text->CaretPlace(), "Line 3, Col 1");
        QTest::keyClick(&field, Qt::Key_Escape);

        // Ctrl+R and F5 run the text, as "Run!" does.
        e.text->SetText(QStringLiteral("MsgBox('keyed')"));
        QString ran;
        AnswerNextBox(&ran);
        QTest::keyClick(e.edit, Qt::Key_R, Qt::ControlModifier);
        EXPECT_EQ(ran, "keyed");
        ran.clear();
        AnswerNextBox(&ran);
        QTest::keyClick(e.edit, Qt::Key_F5);
        EXPECT_EQ(ran, "keyed");
    });
}

TEST_F(EditorTest, ColoursKeywordsStringsNumbersAndComments)
{
    WithEditor([&](const Editor& e) {
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
        EXPECT_TRUE(keyword.isValid());
        EXPECT_TRUE(string.isValid());
        EXPECT_TRUE(comment.isValid());
        EXPECT_TRUE(number.isValid());
        EXPECT_EQ(QSet<QRgb>({keyword.rgb(), string.rgb(), comment.rgb(), number.rgb()}).size(), 4);
        // The string runs on over the line end; names and words inside strings stay plain.
        EXPECT_EQ(colourAt(2, 2), string);
        EXPECT_FALSE(colourAt(3, 4).isValid()); // x1
        EXPECT_EQ(colourAt(3, 1), keyword);       // if
        EXPECT_EQ(colourAt(3, 7), keyword);       // while
        EXPECT_EQ(colourAt(3, 17), number);       // the exponent
        EXPECT_EQ(colourAt(4, 2), comment);       // the block comment's second line
        EXPECT_EQ(colourAt(4, 7), keyword);       // end, after the comment
    });
}

} // namespace
} // namespace vellum
