// Lists, sheets and scroll views as users meet them: shown from scripts on
// the offscreen platform, driven with real taps, keys, wheel turns and
// drags, read back from the window's pixels. Every item view is a rectangle
// filled by SetItem (red for the current item), so each item shows as a
// band of colour, and SetItem counts how often it is asked.
#include "gui/form_fixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class ListTest : public FormFixture {
protected:
    void SetUp() override
    {
        // Items alternate blue (odd) and lime (even); the current one is red.
        h.Ok("var gSet = 0 function Paint(view, i, current) gSet = gSet + 1 var colour = 'lime' "
             "if Mod(i, 2) == 1 colour = 'blue' end if i == current colour = 'red' end "
             "view.style = {fill = colour} end");
    }

    // The SetItem calls since the last look.
    int SetItemCalls()
    {
        const int calls = std::stoi(h.Text(u"gSet"));
        h.Ok("gSet = 0");
        return calls;
    }
};

QImage Pixels(QWidget* client) { return client->grab().toImage(); }

void Tap(QWidget* client, QPoint p) { QTest::mouseClick(client, Qt::LeftButton, {}, p); }

// A finger pressed at from, moved to to in steps, and lifted.
void Swipe(QWidget* client, QPoint from, QPoint to)
{
    QTest::mousePress(client, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) Drag(client, from + (to - from) * step / 4);
    QTest::mouseRelease(client, Qt::LeftButton, {}, to);
}

// Notches of the wheel at p: towards the user (down > 0) or away.
void Wheel(QWidget* client, QPoint p, int down)
{
    QWheelEvent event(p, client->mapToGlobal(p), QPoint(), QPoint(0, -120 * down), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(client, &event);
}

// A scroll list of 100 000 items at (0, 0), 100 x 200 pixels, ten items a
// page: each item 20 pixels tall.
constexpr std::string_view kLongList = R"(
gForm = TForm({title = 'Long', view = TCanvas({views = {
  TScrollList({id = 'list', left = 0, top = 0, width = 100, height = 200,
    listSize = 100000, pgSize = 10, curPos = 0, view = TRectangle({}),
    SetItem = function(i) Paint(this.view, i, this.curPos) end,
    OnCurPosChange = function() Log('cur:' & this.curPos) end,
    OnTopPosChange = function() Log('top:' & this.topPos) end,
    OnKeyDown = function(key) Log('key:' & key) end})},
  OnKeyDown = function(key) Log('canvas key:' & key) end})})
)";

TEST_F(ListTest, KeysMoveTheCurrentItemAndThenReachTheScriptWhereTheWheelAndADragMoveTheTop)
{
    h.Ok(std::string(kLongList));
    ShowClient("Long", [&](QWidget* client) {
        // A tap gives the item view the focus; its keys bubble to the list.
        Tap(client, QPoint(50, 5));
        EXPECT_EQ(h.TakeLog(), "");
        // Item 10 is off the page of ten: the top follows it. Sideways keys move nothing in a vertical list, and
        // on the last item Down only reaches the script.
        const std::pair<Qt::Key, const char*> keys[] = {
            {Qt::Key_Down, "cur:1 key:40 "}, {Qt::Key_PageDown, "top:1 cur:10 key:34 "},
            {Qt::Key_Home, "top:0 cur:0 key:36 "}, {Qt::Key_Up, "key:38 "}, {Qt::Key_Right, "key:39 "},
            {Qt::Key_End, "top:99990 cur:99999 key:35 "}, {Qt::Key_Down, "key:40 "}};
        for (const auto& [key, log] : keys) {
            QTest::keyClick(client, key);
            EXPECT_EQ(h.TakeLog(), log) << key;
        }
        QImage pixels = Pixels(client);
        EXPECT_EQ(PixelAt(pixels, 50, 185), kRed);
        // Without listSize End makes -1 current (and the top follows it).
        h.Ok("gForm.GetView('list').listSize = null");
        QTest::keyClick(client, Qt::Key_End);
        EXPECT_EQ(h.TakeLog(), "top:-1 cur:-1 key:35 ");

        // The wheel and a drag move the top.
        h.Ok("var list = gForm.GetView('list') list.listSize = 100000 list.topPos = 0 list.curPos = 0");
        h.TakeLog();
        const int lines = QApplication::wheelScrollLines();
        Wheel(client, QPoint(50, 50), 1);
        EXPECT_EQ(h.TakeLog(), "top:" + std::to_string(lines) + " ");
        Wheel(client, QPoint(50, 50), -1);
        EXPECT_EQ(h.TakeLog(), "top:0 ");
        // At the top there is nowhere to go; outside the list nobody scrolls.
        Wheel(client, QPoint(50, 50), -1);
        Wheel(client, QPoint(150, 50), 1);
        EXPECT_EQ(h.TakeLog(), "");
        SetItemCalls();
        pixels = Pixels(client);
        EXPECT_EQ(SetItemCalls(), 10);

        // Dragging up by two items' length shows two items further down;
        // the release that ends a drag is no tap.
        Swipe(client, QPoint(50, 150), QPoint(50, 110));
        EXPECT_EQ(h.TakeLog(), "top:1 top:2 ");
        EXPECT_EQ(h.Eval("gForm.GetView('list').curPos"), "0");
        pixels = Pixels(client);
        EXPECT_EQ(PixelAt(pixels, 50, 5), kLime); // item 2
        Swipe(client, QPoint(50, 110), QPoint(50, 190));
        EXPECT_EQ(h.TakeLog(), "top:1 top:0 ");
        // The end of the list stops the wheel at the last page.
        h.Ok("gForm.GetView('list').topPos = 99989");
        Wheel(client, QPoint(50, 50), 1);
        EXPECT_EQ(h.TakeLog(), "top:99990 ");
    });
}

TEST_F(ListTest, AScrollSheetMovesItsCurrentCellAndPassesOtherKeysOnOnce)
{
    h.Ok(R"(
gForm = TForm({title = 'Sheet', view = TCanvas({views = {
  TScrollSheet({id = 'sheet', left = 0, top = 0, width = 100, height = 100,
    sizeX = 10, sizeY = 50, curPosX = 0, curPosY = 0, view = TRectangle({}),
    GetColWidth = function(i) return 25 end,
    GetRowHeight = function(i) return 20 end,
    SetItem = function(x, y) Paint(this.view, x + y, this.curPosX + this.curPosY) end,
    OnCurPosChange = function() Log('cur:' & this.curPosX & ',' & this.curPosY) end,
    OnTopPosChange = function() Log('top:' & this.topPosX & ',' & this.topPosY) end})},
  OnKeyDown = function(key) Log('canvas key:' & key) end})})
)");
    ShowClient("Sheet", [&](QWidget* client) {
        // A paint asks for every visible cell once: 4 columns of 25, 5 rows of 20.
        SetItemCalls();
        Pixels(client);
        EXPECT_EQ(SetItemCalls(), 20);
        Tap(client, QPoint(60, 45));
        EXPECT_EQ(h.TakeLog(), "cur:2,2 ");
        // The top follows the current cell off the page; a key that moves nothing is heard by nobody, and one
        // that is no navigation key by the sheet's parent, once.
        const std::pair<Qt::Key, const char*> keys[] = {
            {Qt::Key_Right, "cur:3,2 "}, {Qt::Key_Right, "cur:4,2 top:1,0 "}, {Qt::Key_PageDown, "cur:4,6 top:1,2 "},
            {Qt::Key_Home, "cur:0,6 top:0,2 "}, {Qt::Key_Left, ""}, {Qt::Key_A, "canvas key:65 "}};
        for (const auto& [key, log] : keys) {
            QTest::keyClick(client, key);
            EXPECT_EQ(h.TakeLog(), log) << key;
        }
        const QImage pixels = Pixels(client);
        EXPECT_EQ(PixelAt(pixels, 10, 90), kRed); // (0, 6), the fifth row shown
        Wheel(client, QPoint(50, 50), 1);
        EXPECT_EQ(h.TakeLog(), "top:0," + std::to_string(2 + QApplication::wheelScrollLines()) + " ");
    });
}

TEST_F(ListTest, AScrollViewShiftsItsChildWhereTheChildIsLarger)
{
    h.Ok(R"(
gForm = TForm({title = 'Page', view = TCanvas({views = {
  TRectangle({id = 'below', left = 0, top = 100, width = 100, height = 20, style = {fill = 'lime'},
    OnClick = function() Log('below') end}),
  TScrollView({id = 'page', left = 0, top = 0, width = 100, height = 100,
    minHeight = 300, minWidth = 50, topPos = 40, leftPos = 30,
    OnTopPosChange = function() Log('top:' & this.topPos & ',' & this.leftPos) end,
    view = TColumn({views = {
      TRectangle({id = 'red', height = 50, style = {fill = 'red'}}),
      TRectangle({id = 'blue', height = '*', style = {fill = 'blue'}})}})})}})})
)");
    ShowClient("Page", [&](QWidget* client) {
        // Shifted up by 40 DIP; as wide as the view, whose width is above
        // minWidth; clipped to the view, which lies over the lime rectangle.
        QImage pixels = Pixels(client);
        EXPECT_EQ(PixelAt(pixels, 99, 9), kRed);
        EXPECT_EQ(PixelAt(pixels, 50, 105), kLime);
        EXPECT_EQ(h.Eval("gForm.GetView('red').GetRect().top & ',' & gForm.GetView('red').GetRect().left"), "-40,0");
        // The shifted child reaches below the view, but a tap there is not
        // the child's.
        Tap(client, QPoint(50, 110));
        EXPECT_EQ(h.TakeLog(), "below ");

        Wheel(client, QPoint(50, 50), 1);
        EXPECT_EQ(h.TakeLog(), "top:" + std::to_string(40 + 20 * QApplication::wheelScrollLines()) + ",30 ");
        // Dragging down by 50 pixels shows the child's top again.
        h.Ok("gForm.GetView('page').topPos = 50 gForm.GetView('page').Redraw()");
        Swipe(client, QPoint(50, 20), QPoint(50, 90));
        EXPECT_EQ(h.Eval("gForm.GetView('page').topPos"), "0");
        EXPECT_NE(h.TakeLog(), "");
        pixels = Pixels(client);
        EXPECT_EQ(PixelAt(pixels, 50, 49), kRed);
        // The end holds: 300 - 100 DIP at most.
        Wheel(client, QPoint(50, 50), 20);
        EXPECT_EQ(h.TakeLog(), "top:200,30 ");

        // Taller than minHeight: the child fills the view, topPos means nothing.
        h.Ok("gForm.GetView('page').minHeight = 80 gForm.GetView('page').Redraw()");
        EXPECT_EQ(h.Eval("gForm.GetView('red').GetRect().top"), "0");
        Wheel(client, QPoint(50, 50), 1);
        EXPECT_EQ(h.TakeLog(), "");
    });
}

} // namespace
} // namespace vellum::test
