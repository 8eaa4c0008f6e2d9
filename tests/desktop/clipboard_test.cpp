// Paste through the display's clipboard: a single-line edit takes the
// clipboard's first line (all of it when it holds no line break), by
// Ctrl+V and by the script's Paste; a multi-line edit takes every line.
#include "desktop/desktop_harness.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

namespace vellum::test {
namespace {

class Clipboard : public DesktopFormTest {};

// Puts text on the clipboard and waits until the display hands it back.
void Offer(const QString& text)
{
    QApplication::clipboard()->setText(text);
    EXPECT_TRUE(WaitFor([&] { return QApplication::clipboard()->text() == text; }));
}

TEST_F(Clipboard, PasteIntoOneLineTakesTheFirstLineWhateverEndsIt)
{
    ASSERT_EQ(h.Run("gForm = TForm({title = 'Paste', view = TColumn({views = {"
                    "TEdit({id = 'line', height = 28, text = ''}),"
                    "TEdit({id = 'lines', multiLine = true, height = 80, text = ''})}})})"),
              "errOK");
    const std::string status = ShowForm("Paste", [&](QWidget* window) {
        QWidget* client = platform::ClientAreaOf(window);
        auto* line = client->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(line, nullptr);
        const struct {
            QString clipboard;
            const char* firstLine;
        } cases[] = {{"no break", "no break"}, {"first\r\nsecond", "first"}, {"first\nsecond", "first"}};
        for (const auto& c : cases) {
            Offer(c.clipboard);
            line->clear();
            QTest::mouseClick(line, Qt::LeftButton);
            QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(line->text().toStdString(), c.firstLine) << "Ctrl+V";
            EXPECT_EQ(h.Run("gForm.GetView('line').SetText('') gForm.GetView('line').Paste()"), "errOK");
            EXPECT_EQ(h.Eval("gForm.GetView('line').GetText()"), c.firstLine) << "Paste";
        }
        Offer("first\nsecond");
        EXPECT_EQ(h.Run("gForm.GetView('lines').SetText('') gForm.GetView('lines').Paste()"), "errOK");
        auto* lines = client->findChild<QPlainTextEdit*>();
        ASSERT_NE(lines, nullptr);
        EXPECT_EQ(lines->toPlainText(), "first\nsecond");
    });
    EXPECT_EQ(status, "errOK");
}

} // namespace
} // namespace vellum::test
