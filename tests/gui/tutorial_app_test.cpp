// The guide's tutorial app (docs/tutorial/step5, the finished notes app)
// used as its reader would: notes typed and added with the button, chosen
// with a tap, deleted and cleared from the soft-key menu, and kept in the
// device folder's notes file after every change.
#include "engine/core/unicode.h"
#include "gui/controls/edit_view.h"
#include "gui/form_loop.h"
#include "gui/gui_harness.h"
#include "gui/view/view_binding.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"
#include "platform/files/device_folder.h"
#include "platform/window/device_screen.h"
#include "platform/window/form_window_probe.h"
#include "system/system_library.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vellum::test {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;

// The bytes FileStream.AppendLine writes for these lines into an empty file.
std::string NotesFileBytes(std::initializer_list<std::u16string> lines)
{
    std::u16string text;
    for (const std::u16string& line : lines) text += line + u"\r\n";
    return Utf16Le(text);
}

// The script as the program reads it: UTF-16LE after its byte-order mark.
std::u16string ReadScript(const std::filesystem::path& path)
{
    const std::string bytes = ReadBytes(path);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return text;
}

QAction* ActionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

class TutorialAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetDeviceScreen({{kWidth, kHeight}, 96});
        h.ip.SetPathResolver(&paths);
        system::RegisterFileClasses(h.ip);
        ASSERT_EQ(h.Run("var result = null var entry = null"), "errOK");
    }
    void TearDown() override { platform::SetDeviceScreen({}); }

    std::string NotesFile() { return ReadBytes(folder.path / "notes.txt"); }
    QWidget* EntryWidget()
    {
        EXPECT_EQ(h.Run("entry = form.GetView('entry')"), "errOK");
        auto* edit = dynamic_cast<gui::EditView*>(gui::ViewOfTable(h.ip, h.ip.GetGlobal(u"entry").table));
        return edit != nullptr && edit->Control() != nullptr ? platform::ControlWidgetOf(*edit->Control()) : nullptr;
    }
    // Opens the soft-key bar's "Menu" pop-up.
    QMenu* OpenMenu(QWidget* window)
    {
        QTest::mouseClick(platform::SoftKeyOf(window, "Menu"), Qt::LeftButton);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    GuiHarness h;
    TempFolder folder;
    platform::DeviceFolder paths{folder.path};
    FormWatchdog watchdog;
};

TEST_F(TutorialAppTest, TheFinishedNotesAppAddsDeletesClearsAndKeepsItsNotes)
{
    std::ofstream(folder.path / "notes.txt", std::ios::binary) << NotesFileBytes({u"Buy milk", u"Call Ann"});
    Later([&] {
        QWidget* window = platform::FormWindowTitled("Notes");
        ASSERT_NE(window, nullptr);
        QWidget* client = platform::ClientAreaOf(window);
        EXPECT_EQ(h.Eval("Count(notes) & ' ' & list.listSize & ' ' & list.curPos"), "2 2 0");

        // Typed into the edit box (which has the focus from the start) and added.
        QWidget* entry = EntryWidget();
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        EXPECT_EQ(QApplication::focusWidget(), entry);
        QTest::keyClicks(entry, "Water the plants");
        QPushButton* add = nullptr;
        for (auto* button : client->findChildren<QPushButton*>()) {
            if (button->text() == "Add") add = button;
        }
        ASSERT_NE(add, nullptr);
        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_EQ(h.Eval("list.listSize & ' ' & list.curPos & ' [' & entry.GetText() & ']'"), "3 2 []");
        EXPECT_EQ(NotesFile(), NotesFileBytes({u"Buy milk", u"Call Ann", u"Water the plants"}));
        // An empty edit box adds nothing.
        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_EQ(h.Eval("Count(notes)"), "3");

        // A tap on the first note chooses it; "Delete" deletes it.
        const int itemHeight = (client->height() - 32) / 10;
        QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(50, 32 + itemHeight / 2));
        EXPECT_EQ(h.Eval("list.curPos"), "0");
        QTest::mouseClick(platform::SoftKeyOf(window, "Delete"), Qt::LeftButton);
        EXPECT_EQ(h.Eval("list.listSize & ' ' & list.curPos"), "2 0");
        EXPECT_EQ(NotesFile(), NotesFileBytes({u"Call Ann", u"Water the plants"}));

        // "Clear all" asks (answered "yes" here) and empties the file;
        // afterwards it is greyed out.
        QMenu* menu = OpenMenu(window);
        ASSERT_NE(menu, nullptr);
        QAction* clear = ActionNamed(menu, "Clear all");
        ASSERT_NE(clear, nullptr);
        EXPECT_TRUE(clear->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(clear).center());
        EXPECT_EQ(h.Eval("list.listSize & ' ' & list.curPos"), "0 -1");
        EXPECT_EQ(NotesFile(), "");
        menu = OpenMenu(window);
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(ActionNamed(menu, "Clear all")->isEnabled());
        // "Delete" with no notes does nothing.
        menu->close();
        QTest::mouseClick(platform::SoftKeyOf(window, "Delete"), Qt::LeftButton);
        EXPECT_EQ(h.Eval("Count(notes)"), "0");

        QTest::keyClicks(entry, "Book the train");
        QTest::mouseClick(add, Qt::LeftButton);
        menu = OpenMenu(window);
        ASSERT_NE(menu, nullptr);
        QAction* quit = ActionNamed(menu, "Quit");
        ASSERT_NE(quit, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(quit).center());
    });
    // The app's whole script: it ends when "Quit" has closed its form.
    h.ip.RunSource(ReadScript(std::filesystem::path(VELLUM_SOURCE_DIR) / "docs/tutorial/step5/default.q9c"));
    EXPECT_EQ(ToUtf8(h.ip.ErrorIdentifier()), "errOK");
    EXPECT_EQ(platform::FormWindowTitled("Notes"), nullptr);
    EXPECT_EQ(NotesFile(), NotesFileBytes({u"Book the train"}));
}

} // namespace
} // namespace vellum::test
