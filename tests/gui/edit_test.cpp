// TEdit as a user meets it: edits shown in a form on the offscreen
// platform, typed into with real key events, and read back through the
// script methods, which count a CR LF as two characters.
#include "gui/form_fixture.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vellum::test {
namespace {

class EditTest : public FormFixture {
protected:
    void SetUp() override { h.Ok("var CRLF = Char(13) & Char(10)"); }

    // A script expression's value as text.
    std::u16string Raw(const std::string& expression)
    {
        h.Ok("result = " + expression);
        return h.ip.ToString(h.ip.GetGlobal(u"result"), false, true)->Utf16();
    }

};

TEST_F(EditTest, TypingIntoOneLineWithUndoAndTheModifyFlag)
{
    ShowView("TColumn({views = {TEdit({id = 'e', height = 30, OnChange = function() Log('change') end})}})", [&](QWidget*) {
        QWidget* edit = ControlWidget("e");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(h.TakeLog(), ""); // the text it is made with is no change
        EXPECT_EQ(h.Eval("gForm.GetView('e').GetModify()"), "false");
        QTest::keyClicks(edit, "hello");
        EXPECT_EQ(Raw("gForm.GetView('e').GetText()"), u"hello");
        EXPECT_EQ(h.TakeLog(), "change change change change change ");
        EXPECT_EQ(h.Eval("gForm.GetView('e').GetModify()"), "true");

        // Selecting with the keys, then typing over the selection.
        QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
        EXPECT_EQ(h.Eval("gForm.GetView('e').GetSelStart()"), "3");
        QTest::keyClicks(edit, "p!");
        EXPECT_EQ(Raw("gForm.GetView('e').GetText()"), u"help!");

        // One level: the last run of typing goes, and an undo undoes itself.
        EXPECT_EQ(h.Eval("gForm.GetView('e').CanUndo()"), "true");
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Raw("gForm.GetView('e').GetText()"), u"hello");
        h.Ok("gForm.GetView('e').Undo()");
        EXPECT_EQ(Raw("gForm.GetView('e').GetText()"), u"help!");

        // ReplaceSel is not undoable; SetText clears the flag.
        h.TakeLog();
        h.Ok("var e = gForm.GetView('e') e.SetSel(0, 1) e.ReplaceSel('Y')");
        EXPECT_EQ(Raw("e.GetText()"), u"Yelp!");
        EXPECT_EQ(h.Eval("e.CanUndo()"), "false");
        h.Ok("e.SetModify(false) e.SetText('new')");
        EXPECT_EQ(h.Eval("e.GetModify() & ' ' & e.CanUndo() & ' ' & e.GetSelStart()"), "false false 0");
        EXPECT_EQ(h.TakeLog(), "change change ");
        // Tab and Enter neither move the focus nor go into a single line.
        QTest::keyClick(edit, Qt::Key_Tab);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(Raw("e.GetText()"), u"new");
    });
}

TEST_F(EditTest, LinesCountCrLfAsTwoCharactersAndSaveFileWritesUtf16WithTheMark)
{
    const TempFolder dir;
    const std::string saved = (dir.path / "saved.txt").string();
    ShowView("TColumn({views = {TEdit({id = 'm', multiLine = true, height = 120})}})", [&](QWidget*) {
        QWidget* edit = ControlWidget("m");
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, "ab");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "cde");
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(Raw("gForm.GetView('m').GetText()"), u"ab\r\ncde\t");
        // Character 3 is the LF of the CR LF; a selection from it starts at the CR.
        h.Ok("var m = gForm.GetView('m') m.SetSel(3, 6)");
        EXPECT_EQ(Raw("m.GetLineCount() & ' ' & m.LineFromChar(3) & ' ' & m.LineFromChar(4) & ' ' & "
           "m.LineFirstCharPos(1) & ' ' & m.LineFirstCharPos(2) & ' ' & m.LineLength(5) & ' ' & "
           "m.GetLine(1) & ' ' & m.GetSelStart() & '-' & m.GetSelEnd()"),
                  u"2 0 1 4 -1 4 cde\t 2-6");

        // A lone line feed stays one position and is a line of its own.
        h.Ok("m.SetText('x') m.AppendLine('y') m.Append('z')");
        EXPECT_EQ(Raw("m.GetText() & ' ' & m.GetLineCount() & ' ' & m.LineFirstCharPos(1) & ' ' & m.LineLength(0) & "
           "' ' & m.GetLine(1)"),
                  u"xy\nz 2 3 2 z");

        // The clipboard holds the desktop's line ends; pasting brings CR LF back.
        h.Ok("m.SetText('one' & CRLF & 'two') m.SetSel(0, -1) m.Copy()");
        EXPECT_EQ(QApplication::clipboard()->text(), "one\ntwo");
        h.Ok("m.SetSel(-1, 0) m.SetSel(8, 8) m.Paste()");
        EXPECT_EQ(Raw("m.GetText()"), u"one\r\ntwoone\r\ntwo");
        h.Ok("m.SetSel(0, 5) m.Cut()");
        EXPECT_EQ(Raw("m.GetText()"), u"twoone\r\ntwo");
        h.Ok("m.SetText('A' & CRLF & Char(8364)) m.SaveFile('" + saved + "')");
    });
    EXPECT_EQ(ReadBytes(saved), Utf16Le(u"A\r\n\u20AC"));
}

TEST_F(EditTest, InputFiltersTheWidthOfALineAndTheBorder)
{
    ShowView("TColumn({views = {TEdit({id = 'd', number = true, height = 30}), "
             "TEdit({id = 'u', upperCase = true, height = 30}), TEdit({id = 'l', lowerCase = true, height = 30}), "
             "TEdit({id = 'f', autoScroll = false, width = 40, height = 30}), "
             "TEdit({id = 'r', readOnly = true, text = 'fixed', height = 30}), "
             "TEdit({id = 'n', border = false, text = 'bare', height = 30})}})", [&](QWidget*) {
        const std::tuple<const char*, const char*, std::u16string_view> typed[] = {
            {"d", "1a2-b3", u"123"}, {"u", "Mixed case", u"MIXED CASE"}, {"l", "LoWeR", u"lower"}, {"r", "more", u"fixed"}};
        for (const auto& [id, keys, text] : typed) {
            QTest::keyClicks(ControlWidget(id), keys);
            EXPECT_EQ(Raw("gForm.GetView('" + std::string(id) + "').GetText()"), text) << id;
        }
        h.Ok("gForm.GetView('u').ReplaceSel('ok')");
        EXPECT_EQ(Raw("gForm.GetView('u').GetText()"), u"MIXED CASEOK");
        // A single line without auto-scroll stops taking text at its width.
        QWidget* narrow = ControlWidget("f");
        QTest::keyClicks(narrow, "wwwwwwwwwwwwwwwwwwww");
        const std::u16string taken = Raw("gForm.GetView('f').GetText()");
        EXPECT_LT(taken.size(), 20U);

        // The border is one plain line in the text colour: square corners and straight edges, one pixel wide.
        QWidget* framed = ControlWidget("r");
        QWidget* bare = ControlWidget("n");
        ASSERT_NE(bare, nullptr);
        const QColor line = framed->palette().color(QPalette::WindowText);
        const QColor field = framed->palette().color(QPalette::Base);
        const QImage image = framed->grab().toImage();
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        for (const QPoint p : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom),
                               QPoint(right / 2, 0), QPoint(0, bottom / 2), QPoint(right / 2, bottom)}) {
            EXPECT_EQ(image.pixelColor(p), line) << p.x() << "," << p.y();
        }
        EXPECT_EQ(image.pixelColor(1, 1), field);
        EXPECT_EQ(bare->grab().toImage().pixelColor(0, 0), field);
    });
}

} // namespace
} // namespace vellum::test
