// What the user types into a form's edits, and pastes through the display's
// clipboard, on a real display whose window manager moves the window.
#include "gui/form_fixture.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

namespace vellum::test {
namespace {

// One form for both: a single-line edit, a combo box one can type into and
// a multi-line edit.
class EditForm : public FormFixture {
protected:
    struct Widgets {
        QWidget* window;
        QLineEdit* line;
        QComboBox* combo;
        QPlainTextEdit* lines;
    };

    void Show(const std::function<void(const Widgets&)>& steps)
    {
        ASSERT_EQ(h.Run("gForm = TForm({title = 'Edits', view = TColumn({views = {"
                        "TEdit({id = 'line', height = 28, text = 'Type here'}),"
                        "TComboBox({id = 'combo', type = 'edit', height = 26, list = {'Apples', 'Pears'}, curPos = 0}),"
                        "TEdit({id = 'lines', multiLine = true, height = 80, text = ''})}})})"),
                  "errOK");
        const std::string status = ShowForm("Edits", [&](QWidget* window) {
            QWidget* client = platform::ClientAreaOf(window);
            const Widgets w{window, client->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly),
                            client->findChild<QComboBox*>(), client->findChild<QPlainTextEdit*>()};
            ASSERT_TRUE(w.line != nullptr && w.combo != nullptr && w.lines != nullptr);
            steps(w);
        });
        EXPECT_EQ(status, "errOK");
    }
};

// Puts text on the clipboard and waits until the display hands it back.
void Offer(const QString& text)
{
    QApplication::clipboard()->setText(text);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::clipboard()->text() == text; }, 5000));
}

TEST_F(EditForm, TypedTextSurvivesResizingMaximisingRestoringAndActivationButNotTheScriptsRedraw)
{
    Show([&](const Widgets& w) {
        const auto [window, edit, combo, lines] = w;
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QTest::keyClick(combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(combo->lineEdit(), "Kiwi");
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, "abc123");
        QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
        const auto expectTyped = [&](const char* after) {
            EXPECT_EQ(edit->text(), "abc123") << after;
            EXPECT_EQ(edit->selectedText(), "23") << after;
            EXPECT_EQ(edit->cursorPosition(), 4) << after;
            EXPECT_EQ(combo->currentText(), "Kiwi") << after;
        };
        expectTyped("typing");

        const QSize normal = window->size();
        window->resize(normal + QSize(120, 80));
        EXPECT_TRUE(QTest::qWaitFor([&] { return edit->width() > normal.width() - 20; }, 5000));
        expectTyped("a resize");
        window->showMaximized();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMaximized() && edit->width() > normal.width() + 200; }, 5000));
        expectTyped("maximising");
        window->showNormal();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isMaximized() && edit->width() < normal.width() + 200; }, 5000));
        expectTyped("restoring");

        // Another window takes the focus, then the form gets it back.
        QWidget other;
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        other.hide();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        expectTyped("activation");

        // The script's refreshes reset the fields: a view's Redraw, the form's.
        EXPECT_EQ(h.Run("gForm.GetView('line').Redraw()"), "errOK");
        EXPECT_EQ(edit->text(), "Type here");
        EXPECT_EQ(combo->currentText(), "Kiwi");
        EXPECT_EQ(h.Run("gForm.Redraw()"), "errOK");
        EXPECT_EQ(combo->currentText(), "Apples");
    });
}

TEST_F(EditForm, PasteIntoOneLineTakesTheFirstLineWhateverEndsIt)
{
    Show([&](const Widgets& w) {
        const struct {
            QString clipboard;
            const char* firstLine;
        } cases[] = {{"no break", "no break"}, {"first\r\nsecond", "first"}, {"first\nsecond", "first"}};
        for (const auto& c : cases) {
            Offer(c.clipboard);
            w.line->clear();
            QTest::mouseClick(w.line, Qt::LeftButton);
            QTest::keyClick(w.line, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(w.line->text().toStdString(), c.firstLine) << "Ctrl+V";
            EXPECT_EQ(h.Run("gForm.GetView('line').SetText('') gForm.GetView('line').Paste()"), "errOK");
            EXPECT_EQ(h.Eval("gForm.GetView('line').GetText()"), c.firstLine) << "Paste";
        }
        Offer("first\nsecond");
        EXPECT_EQ(h.Run("gForm.GetView('lines').SetText('') gForm.GetView('lines').Paste()"), "errOK");
        EXPECT_EQ(w.lines->toPlainText(), "first\nsecond");
    });
}

} // namespace
} // namespace vellum::test
