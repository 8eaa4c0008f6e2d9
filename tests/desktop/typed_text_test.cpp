// What the user typed into an edit or a combo box survives what the
// desktop does to the window (resizing, maximising, restoring, switching to
// another window and back); the refreshes a script asks for still write the
// "text" property back.
#include "desktop/desktop_harness.h"
#include "platform/window/form_window_probe.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace vellum::test {
namespace {

class TypedText : public DesktopFormTest {};

TEST_F(TypedText, SurvivesResizingMaximisingRestoringAndActivationButNotTheScriptsRedraw)
{
    ASSERT_EQ(h.Run("gForm = TForm({title = 'Typed', view = TColumn({views = {"
                    "TEdit({id = 'edit', height = 28, text = 'Type here'}),"
                    "TComboBox({id = 'combo', type = 'edit', height = 26, list = {'Apples', 'Pears'}, curPos = 0})}})})"),
              "errOK");
    const std::string status = ShowForm("Typed", [&](QWidget* window) {
        QWidget* client = platform::ClientAreaOf(window);
        auto* edit = client->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
        auto* combo = client->findChild<QComboBox*>();
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(combo, nullptr);
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
        EXPECT_TRUE(WaitFor([&] { return edit->width() > normal.width() - 20; }));
        expectTyped("a resize");
        window->showMaximized();
        EXPECT_TRUE(WaitFor([&] { return window->isMaximized() && edit->width() > normal.width() + 200; }));
        expectTyped("maximising");
        window->showNormal();
        EXPECT_TRUE(WaitFor([&] { return !window->isMaximized() && edit->width() < normal.width() + 200; }));
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
        EXPECT_EQ(h.Run("gForm.GetView('edit').Redraw()"), "errOK");
        EXPECT_EQ(edit->text(), "Type here");
        EXPECT_EQ(combo->currentText(), "Kiwi");
        EXPECT_EQ(h.Run("gForm.Redraw()"), "errOK");
        EXPECT_EQ(combo->currentText(), "Apples");
    });
    EXPECT_EQ(status, "errOK");
}

} // namespace
} // namespace vellum::test
