// The containers' arithmetic with the worked examples, at 96 and 192 dpi,
// and adding, removing and switching children.
#include "gui/gui_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each view's content rectangle in DIP as "left:width" or "top:height".
        ASSERT_EQ(h.Run("var gTree = null var result = null "
                        "function X(v) var r = v.GetRect() return r.left & ':' & r.width end "
                        "function Y(v) var r = v.GetRect() return r.top & ':' & r.height end "
                        "function Each(f) var out = '' for v in gTree.views out = out & f(v) & ' ' end return out end"),
                  "errOK");
    }
    std::string Layout(std::string_view tree, const platform::Rect& rect, int32_t dpi, std::string_view probe)
    {
        EXPECT_EQ(h.Run("gTree = " + std::string(tree)), "errOK");
        EXPECT_NE(h.Build(u"gTree", rect, dpi), nullptr);
        EXPECT_EQ(h.Run("result = " + std::string(probe)), "errOK");
        return h.Text(u"result");
    }
    GuiHarness h;
};

TEST_F(LayoutTest, RowsAndColumnsShareTheFreeSpaceByStars)
{
    constexpr std::string_view row =
        "TRow({views = {TRectangle({width = 50}), TRectangle({width = '*'}), TRectangle({width = '2*'})}})";
    // starUnit = (300 - 50) / 3 = 83: pixels 0-49, 50-132, 133-298; 299 and 300 stay free.
    EXPECT_EQ(Layout(row, {0, 0, 300, 99}, 96, "Each(X)"), "0:50 50:83 133:166 ");
    // The same in DIP at 192 dpi over twice the pixels.
    EXPECT_EQ(Layout(row, {0, 0, 600, 99}, 192, "Each(X)"), "0:50 50:83 133:166 ");
    // Pixel texts are not converted; an unsized child without automatic width takes a star.
    EXPECT_EQ(Layout("TRow({views = {TRectangle({}), TRectangle({width = '100px'}), TRectangle({GetAutoWidth = 7})}})",
                     {0, 0, 300, 99}, 96, "Each(X)"),
              "0:193 193:100 293:7 ");
    // A column stacks with heights; the row's height is the tallest automatic one plus margins.
    EXPECT_EQ(Layout("TColumn({views = {TRectangle({height = '*'}), TRectangle({height = 20})}})", {0, 0, 99, 100}, 96,
                     "Each(Y)"),
              "0:80 80:20 ");
    EXPECT_EQ(Layout("TRow({style = {margin = 3}, views = {TRectangle({GetAutoHeight = 12}), TRectangle({GetAutoHeight = 30})}})",
                     {0, 0, 99, 99}, 96, "gTree.AutoHeight() & ' ' & gTree.AutoWidth()"),
              "36 0");
}

TEST_F(LayoutTest, GridCellsFromColsAndRows)
{
    // colStarUnit = 101 / 2 = 50; the last star column runs to the content's right edge.
    EXPECT_EQ(Layout("TGrid({cols = {'*', '*'}, views = {TRectangle({col = 0}), TRectangle({col = 1})}})",
                     {0, 0, 100, 49}, 96, "Each(X)"),
              "0:50 50:51 ");
    // With only rows, children take one row each in order and learn their
    // row; the automatic row is measured before that, so it counts from the
    // next layout on.
    EXPECT_EQ(Layout("TGrid({rows = {20, '*', 'auto'}, views = {TRectangle({}), TRectangle({}), TRectangle({GetAutoHeight = 15})}})",
                     {0, 0, 99, 99}, 96, "Each(Y) & gTree.views[2].row"),
              "0:20 20:80 100:0 2");
    EXPECT_EQ(h.Run("gTree.Redraw() result = Each(Y)"), "errOK");
    EXPECT_EQ(h.Text(u"result"), "0:20 20:65 85:15 ");
    // A cell past the last column is empty, at the far edge.
    EXPECT_EQ(Layout("TGrid({cols = {30, 30}, views = {TRectangle({col = 5})}})", {0, 0, 99, 99}, 96,
                     "gTree.views[0].GetRect().width"),
              "0");
}

TEST_F(LayoutTest, CanvasPlacesByPositionOrAlignment)
{
    EXPECT_EQ(Layout("TCanvas({views = {TRectangle({width = 40, height = 20, style = {align = 'right'}}), "
                     "TRectangle({left = 5, top = '7px', width = 10, height = 10}), TRectangle({})}})",
                     {0, 0, 199, 99}, 96, "Each(X) & Each(Y)"),
              "160:40 5:10 0:200 40:20 7:10 0:100 ");
    // The child drawn last, here over all the others, is found first.
    EXPECT_EQ(h.Run("result = (gTree.Point2View({x = 6, y = 8}) == gTree.views[2]) & ' ' & "
                    "(gTree.Point2View({x = 170, y = 50}) == gTree.views[2])"),
              "errOK");
    EXPECT_EQ(h.Text(u"result"), "true true");
}

TEST_F(LayoutTest, BadViewsAreReplacedByErrorTexts)
{
    EXPECT_EQ(Layout("TRow({views = 5})", {0, 0, 99, 99}, 96, "gTree.views[0].text"), "errNoViews");
    EXPECT_EQ(Layout("TColumn({views = {TRectangle({}), 'text', {}}})", {0, 0, 99, 99}, 96,
                     "gTree.views[1].text & ' ' & gTree.views[2].text & ' ' & gTree.views[1].IsGroup()"),
              "errNotView errNotView false");
}

TEST_F(LayoutTest, AddingRemovingAndSwitchingChildren)
{
    EXPECT_EQ(Layout("TRow({views = {TRectangle({id = 'a'}), TRectangle({id = 'b'})}})", {0, 0, 99, 99}, 96, "1"), "1");
    EXPECT_EQ(h.Run("var c = TRectangle({id = 'c', function OnCreate() result = 'created' end}) gTree.AddView(c)"), "errOK");
    EXPECT_EQ(h.Text(u"result"), "created");
    EXPECT_EQ(h.Run("gTree.RemoveView(gTree.views[0]) gTree.RemoveView(TRectangle({})) "
                    "result = gTree.views[0].id & gTree.views[1].id & AsStr(gTree.views[2])"),
              "errOK");
    EXPECT_EQ(h.Text(u"result"), "bcnull");
    EXPECT_EQ(h.Run("gTree.AddView(3)"), "errTableExpected");

    EXPECT_EQ(Layout("TSwitch({views = {TRectangle({id = 'a'}), TRectangle({id = 'b'})}, "
                     "function OnSwitch() result = 'switched to ' & this.curPos end})",
                     {0, 0, 99, 99}, 96, "1"),
              "1");
    EXPECT_EQ(h.Run("gTree.SwitchView(1)"), "errOK");
    EXPECT_EQ(h.Text(u"result"), "switched to 1");
    EXPECT_EQ(h.Run("result = gTree.Point2View({x = 5, y = 5}).id & ' ' & gTree.AddItem(TRectangle({id = 'c'})) & ' ' & gTree.curPos"),
              "errOK");
    EXPECT_EQ(h.Text(u"result"), "b 2 2");
    // A refusing child keeps every item; a consenting one lets the item go and shows the first.
    EXPECT_EQ(h.Run("gTree.views[0].OnClose = false gTree.DeleteItem(1) result = Count(gTree.views)"), "errOK");
    EXPECT_EQ(h.Text(u"result"), "3");
    EXPECT_EQ(h.Run("gTree.views[0].OnClose = null gTree.DeleteItem(1) result = gTree.views[1].id & ' ' & gTree.curPos"),
              "errOK");
    EXPECT_EQ(h.Text(u"result"), "c 0");
}

} // namespace
} // namespace vellum::test
