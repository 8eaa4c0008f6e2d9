// The keys reach the page a user switched to. The tabs are plain views that
// take the focus when tapped, as a script's own tab strip does.
#include "gui/form_fixture.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <string>

namespace vellum::test {
namespace {

class Focus : public FormFixture {};

// A key as the user presses it: to whatever widget has the keyboard focus.
void Press(Qt::Key key)
{
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, key);
}

TEST_F(Focus, KeysReachTheListSheetAndScrollViewOfTheTabShown)
{
    ASSERT_EQ(h.Run(R"(
var gList = TScrollList({listSize = 50, pgSize = 10, curPos = 0, view = TText({}),
  function SetItem(i) this.view.text = 'Item ' & i end})
var gSheet = TScrollSheet({sizeX = 5, sizeY = 50, curPosX = 0, curPosY = 0, view = TText({}),
  function GetColWidth(i) return 40 end, function GetRowHeight(i) return 20 end,
  function SetItem(x, y) this.view.text = x & ',' & y end})
var gPage = TScrollView({minHeight = 1000, view = TColumn({views = {TText({text = 'top', height = 20})}})})
var gPages = TSwitch({height = '*', views = {
  gList, TRow({views = {gSheet, TRectangle({width = 10})}}), gPage}})
var Tab = {parent = TText, width = '*', function OnClick() gPages.SwitchView(this.page) gPages.Redraw() end}
gForm = TForm({title = 'Focus', view = TColumn({views = {
  TRow({height = 30, views = {Tab({page = 0, text = 'List'}), Tab({page = 1, text = 'Sheet'}), Tab({page = 2, text = 'Page'})}}),
  gPages}}),
  function OnCreate() gList.SetFocus() end})
)"),
              "errOK");
    const std::string status = ShowForm("Focus", [&](QWidget* window) {
        QWidget* client = platform::ClientAreaOf(window);
        const auto tap = [&](int tab) {
            QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(client->width() / 6 * (2 * tab + 1), 15));
        };
        Press(Qt::Key_Down);
        EXPECT_EQ(h.Eval("gList.curPos"), "1");

        // The sheet is the one view of its page that takes keys.
        tap(1);
        Press(Qt::Key_Down);
        Press(Qt::Key_Right);
        EXPECT_EQ(h.Eval("gSheet.curPosX & ',' & gSheet.curPosY"), "1,1");

        // Back on the list's page, the list has the focus again.
        tap(0);
        Press(Qt::Key_Down);
        EXPECT_EQ(h.Eval("gList.curPos"), "2");

        // The scroll view pages down by its height less a line, and Home goes back.
        tap(2);
        Press(Qt::Key_PageDown);
        const int paged = std::stoi(h.Eval("gPage.topPos"));
        const int shown = client->height() - 30;
        EXPECT_GE(paged, shown - 22);
        EXPECT_LE(paged, shown - 20);
        Press(Qt::Key_Down);
        EXPECT_EQ(h.Eval("gPage.topPos"), std::to_string(paged + 20));
        Press(Qt::Key_Home);
        EXPECT_EQ(h.Eval("gPage.topPos"), "0");

        tap(1);
        Press(Qt::Key_Up);
        EXPECT_EQ(h.Eval("gSheet.curPosY"), "0");
    });
    EXPECT_EQ(status, "errOK");
}

} // namespace
} // namespace vellum::test
