// The containers' arithmetic with the worked examples, at 96 and 192 dpi;
// painting and hit testing; adding, removing and switching children; and
// scripts that edit, drop or loop their trees while the containers use them.
#include "gui/gui_harness.h"

#include "engine/core/table_iterator.h"
#include "gui/view/view_binding.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

// A collection in the middle of script code, so that whatever a script
// dropped is really freed before native code could touch it again.
uint32_t CollectNow(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.Collect();
    return 0;
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.ip.RegisterFunction(u"Collect", CollectNow);
        // Each view's content rectangle in DIP as "left:width" or "top:height".
        h.Ok("var gTree = null var result = null "
             "function X(v) var r = v.GetRect() return r.left & ':' & r.width end "
             "function Y(v) var r = v.GetRect() return r.top & ':' & r.height end "
             "function Each(f) var out = '' for v in gTree.views out = out & f(v) & ' ' end return out end");
    }
    // Builds gTree from source on rect at dpi; gives the root view.
    gui::View* Build(std::string_view tree, const platform::Rect& rect, int32_t dpi = 96)
    {
        h.Ok("gTree = " + std::string(tree));
        gui::View* root = h.Build(u"gTree", rect, dpi);
        EXPECT_NE(root, nullptr);
        return root;
    }
    // Builds gTree as Build does; gives the value of the script expression probe.
    std::string Layout(std::string_view tree, const platform::Rect& rect, int32_t dpi, const std::string& probe)
    {
        Build(tree, rect, dpi);
        return h.Eval(probe);
    }
    // The native view of gTree.views[i].
    gui::View* Child(int i)
    {
        TableObject* views = h.ip.GetTableField(h.ip.GetGlobal(u"gTree").table, u"views");
        const Value child = views != nullptr ? views->Get(Value::Number(i)) : Value::Null();
        return child.IsTable() ? gui::ViewOfTable(h.ip, child.table) : nullptr;
    }
    // The pixel spans of the children of gTree (or another global's
    // container), "left-right" (or "top-bottom") each.
    std::string Spans(bool vertical = false, std::u16string_view global = u"gTree")
    {
        std::string out;
        TableObject* views = h.ip.GetTableField(h.ip.GetGlobal(global).table, u"views");
        TableIterator it(*views);
        Value key, value;
        while (it.Next(key, value)) {
            gui::View* v = value.IsTable() ? gui::ViewOfTable(h.ip, value.table) : nullptr;
            if (v == nullptr) continue;
            const platform::Rect& r = v->Bounds();
            out += std::to_string(vertical ? r.top : r.left) + "-" + std::to_string(vertical ? r.bottom : r.right) + " ";
        }
        return out;
    }
    GuiHarness h;
};

TEST_F(LayoutTest, RowsAndColumnsShareTheFreeSpaceByStars)
{
    constexpr std::string_view row =
        "TRow({views = {TRectangle({width = 50}), TRectangle({width = '*'}), TRectangle({width = '2*'})}})";
    // starUnit = (300 - 50) / 3 = 83: pixels 0-49, 50-132, 133-298; 299 and 300 stay free.
    Build(row, {0, 0, 300, 99}, 96);
    EXPECT_EQ(Spans(), "0-49 50-132 133-298 ");
    EXPECT_EQ(h.Eval("Each(X)"), "0:50 50:83 133:166 ");
    // At 192 dpi 50 DIP are 100 pixels; starUnit = (600 - 100) / 3 = 166.
    Build(row, {0, 0, 600, 99}, 192);
    EXPECT_EQ(Spans(), "0-99 100-265 266-597 ");
    // Pixel texts are not converted; an unsized child (or one whose width is no size) without automatic width
    // takes a star.
    Build("TRow({views = {TRectangle({width = 'wide'}), TRectangle({width = '100px'}), "
          "TRectangle({GetAutoWidth = 7})}})",
          {0, 0, 300, 99}, 192);
    EXPECT_EQ(Spans(), "0-192 193-292 293-299 ");
    // Fixed sizes wider than the row leave the stars nothing, never a negative width.
    Build("TRow({views = {TRectangle({width = 400}), TRectangle({width = '*'}), TRectangle({width = -20}), "
          "TRectangle({width = 10})}})",
          {0, 0, 300, 99}, 96);
    EXPECT_EQ(Spans(), "0-399 400-399 400-399 400-409 ");
    // A column stacks with heights, inside its margins.
    Build("TColumn({style = {margin = 4}, views = {TRectangle({height = '*'}), TRectangle({height = 'auto', GetAutoHeight = 20})}})",
          {0, 0, 99, 108}, 96);
    EXPECT_EQ(Spans(true), "4-83 84-103 ");
    // A row is as high as its highest child plus its margins, and has no width of its own.
    EXPECT_EQ(Layout("TRow({style = {margin = 3}, views = {TRectangle({GetAutoHeight = 12}), TRectangle({GetAutoHeight = 30})}})",
                     {0, 0, 99, 99}, 96, "gTree.AutoHeight() & ' ' & gTree.AutoWidth()"),
              "36 0");
}

TEST_F(LayoutTest, GridCellsFromColsAndRows)
{
    // colStarUnit = 101 / 2 = 50; the last star column runs to the content's right edge.
    constexpr std::string_view grid = "TGrid({cols = {'*', '*'}, views = {TRectangle({col = 0}), TRectangle({col = 1})}})";
    Build(grid, {0, 0, 100, 49}, 96);
    EXPECT_EQ(Spans(), "0-49 50-100 ");
    Build(grid, {0, 0, 100, 49}, 192);
    EXPECT_EQ(Spans(), "0-49 50-100 ");
    // Automatic, star and fixed columns; a star column that is not the last
    // keeps its share, and a column past the last entry, or of no size, is an empty cell at the far edge.
    Build("TGrid({cols = {'auto', '*', 10, 'none'}, views = {TRectangle({col = 0, GetAutoWidth = 30}), "
          "TRectangle({col = 1}), TRectangle({col = 2}), TRectangle({col = 7}), TRectangle({col = -1})}})",
          {0, 0, 199, 49}, 192);
    EXPECT_EQ(Spans(), "0-29 30-179 180-199 200-199 200-199 ");
    // Both arrays given: a child without a cell sits in (0, 0) and is not told so.
    Build("TGrid({cols = {20, 20}, rows = {10, 10}, views = {TRectangle({col = 1, row = 1}), TRectangle({})}})",
          {0, 0, 99, 99}, 96);
    EXPECT_EQ(Spans() + Spans(true), "20-39 0-19 10-19 0-9 ");
    EXPECT_EQ(h.Eval("AsStr(gTree.views[1].row) & AsStr(gTree.views[1].col)"), "nullnull");
    // With only rows, children take one row each in order and learn their
    // row, in time for the automatic row to fit its child.
    EXPECT_EQ(Layout("TGrid({rows = {20, '*', 'auto'}, views = {TRectangle({}), TRectangle({}), TRectangle({GetAutoHeight = 15})}})",
                     {0, 0, 99, 99}, 96, "Each(Y) & gTree.views[2].row"),
              "0:20 20:65 85:15 2");
    // Rows named by the children stand; the automatic row now holds one of no height.
    h.Ok("gTree.views[0].row = 2 gTree.views[2].row = 0 gTree.Redraw()");
    EXPECT_EQ(Spans(true), "100-99 20-99 0-19 ");
    // Without "cols" every cell spans the whole width; the grid measures its first column.
    EXPECT_EQ(Spans(), "0-99 0-99 0-99 ");
    EXPECT_EQ(h.Eval("gTree.AutoWidth() & ' ' & gTree.AutoHeight()"), "0 0");
}

TEST_F(LayoutTest, CanvasPlacesByPositionOrAlignment)
{
    EXPECT_EQ(Layout("TCanvas({views = {TRectangle({width = 40, height = 20, style = {align = 'right'}}), "
                     "TRectangle({left = 5, top = '7px', width = 10, height = 10}), TRectangle({})}})",
                     {0, 0, 199, 99}, 96, "Each(X) & Each(Y)"),
              "160:40 5:10 0:200 40:20 7:10 0:100 ");
    // At 192 dpi the 40 DIP child is 80 pixels at the right edge, centred
    // vertically by default; "valign" = "bottom" and "align" = "center" too.
    Build("TCanvas({views = {TRectangle({width = 40, height = 20, style = {align = 'right'}}), "
          "TRectangle({width = '30px', height = 'auto', GetAutoHeight = 10, style = {align = 'center', valign = 'bottom'}}), "
          "TRectangle({width = '*', height = 10, top = -5})}})",
          {0, 0, 399, 199}, 192);
    EXPECT_EQ(Spans(), "320-399 185-214 0-399 ");
    EXPECT_EQ(Spans(true), "80-119 190-199 -10-9 ");
}

TEST_F(LayoutTest, GroupsPaintInOrderInsideTheirContent)
{
    gui::View* root = Build("TCanvas({style = {fill = 'blue', margin = 10}, views = {"
                            "TRectangle({left = 0, top = 0, width = 100, height = 100, style = {fill = 'red'}}), "
                            "TRectangle({left = 20, top = 20, width = 10, height = 10, style = {fill = {0, 255, 0}}})}})",
                            {0, 0, 59, 59}, 96);
    const QImage image = h.Paint(root);
    EXPECT_EQ(PixelAt(image, 5, 5), platform::Rgb(255, 255, 255));  // margin: no decoration
    EXPECT_EQ(PixelAt(image, 12, 12), platform::Rgb(255, 0, 0));    // the first child over the fill
    EXPECT_EQ(PixelAt(image, 35, 35), platform::Rgb(0, 255, 0));    // the second over the first
    EXPECT_EQ(PixelAt(image, 52, 52), platform::Rgb(255, 255, 255)); // clipped to the content
    // A hidden child is not drawn, yet the pointer still finds it, topmost first.
    h.Ok("gTree.views[1].Hide()");
    EXPECT_EQ(h.Eval("(gTree.Point2View({x = 35, y = 35}) == gTree.views[1]) & ' ' & "
                    "(gTree.Point2View({x = 15, y = 15}) == gTree.views[0]) & ' ' & "
                    "(gTree.Point2View({x = 5, y = 5}) == gTree)"),
              "true true true");
    EXPECT_EQ(PixelAt(h.Paint(root), 35, 35), platform::Rgb(255, 0, 0));
}

TEST_F(LayoutTest, TreesThatContainThemselvesLaterStillEnd)
{
    gui::View* root = Build("TRow({views = {TRectangle({width = 10}), TColumn({views = {TRectangle({})}})}})",
                            {0, 0, 99, 99}, 96);
    // Edited after creation: the containers now reach themselves again and again.
    h.Ok("var inner = gTree.views[1] inner.views = {gTree, inner} gTree.views = {gTree, inner, gTree} "
         "gTree.Redraw() gTree.Hide() gTree.Show()");
    // The root placed itself as its own child; it is painted where it was.
    root->SetRect({0, 0, 99, 99});
    h.Paint(root);
    EXPECT_EQ(h.Eval("gTree.Point2View({x = 50, y = 50}).IsGroup() & ' ' & gTree.GetView('none').IsGroup() & ' ' & "
                    "gTree.AutoHeight()"),
              "true true 0");
}

TEST_F(LayoutTest, ScriptsMayDropChildrenWhileTheContainerUsesThem)
{
    // The first child's width replaces the second child and collects it
    // while the row measures and places its children.
    Build("TRow({views = {TRectangle({function width() gTree.views[1] = TRectangle({}) Collect() return 10 end}), "
          "TRectangle({}), TRectangle({width = 5})}})",
          {0, 0, 99, 99}, 96);
    EXPECT_EQ(Spans(), "0-9 10-14 ");
    // A handler that throws the whole array away during OnCreate: the walk
    // goes on over the children it began with.
    h.Ok("result = '' gTree = TColumn({views = {TRectangle({function OnCreate() gTree.views = {} Collect() "
         "result = result & 'a' end}), TRectangle({function OnCreate() result = result & 'b' end})}})");
    gui::View* root = h.Build(u"gTree", {0, 0, 99, 99}, 96);
    ASSERT_NE(root, nullptr);
    root->OnCreate();
    EXPECT_EQ(h.Text(u"result"), "ab");
    root->Refresh();
    h.Paint(root);
    EXPECT_EQ(h.Eval("Count(gTree.views)"), "0");

    // A handler deep in the tree may lay out the whole tree while OnCreate walks it.
    h.Ok("var gRow = TRow({views = {TRectangle({function OnCreate() this.width = 30 gTree.Redraw() end}), "
         "TRectangle({})}}) gTree = TColumn({views = {gRow}})");
    root = h.Build(u"gTree", {0, 0, 99, 99}, 96);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Spans(false, u"gRow"), "0-48 49-97 ");
    root->OnCreate();
    EXPECT_EQ(Spans(false, u"gRow"), "0-29 30-98 ");
}

TEST_F(LayoutTest, AddingAndRemovingChildren)
{
    Build("TRow({views = {TRectangle({id = 'a'}), TRectangle({id = 'b'})}})", {0, 0, 99, 99}, 96);
    // The new child is placed over the whole content and created; the row is laid out at the next Redraw.
    h.Ok("var c = TRectangle({id = 'c', function OnCreate() result = 'created' end}) gTree.AddView(c)");
    EXPECT_EQ(h.Text(u"result"), "created");
    EXPECT_EQ(Spans(), "0-48 49-97 0-99 ");
    h.Ok("gTree.Redraw()");
    EXPECT_EQ(Spans(), "0-32 33-65 66-98 ");
    // Removing renumbers the rest; a table that is no child changes nothing.
    // gRemoved keeps the removed view alive for the look at its timer.
    h.Ok("var gRemoved = gTree.views[0] gRemoved.SetTimer(100000)");
    gui::View* removed = Child(0);
    ASSERT_NE(removed, nullptr);
    EXPECT_TRUE(removed->TimerRunning());
    h.Ok("gTree.RemoveView(gTree.views[0]) gTree.RemoveView(TRectangle({}))");
    EXPECT_EQ(h.Eval("gTree.views[0].id & gTree.views[1].id & AsStr(gTree.views[2])"),
              "bcnull");
    // The removed view stops its timer at once.
    EXPECT_FALSE(removed->TimerRunning());
    EXPECT_EQ(h.Run("gTree.AddView(3)"), "errTableExpected");
    EXPECT_EQ(h.Run("gTree.RemoveView('b')"), "errTableExpected");
    EXPECT_EQ(h.Run("gTree.AddView()"), "errFewArguments");
}

TEST_F(LayoutTest, SwitchShowsOneChild)
{
    gui::View* root = Build("TSwitch({curPos = 1, views = {TRectangle({id = 'a', style = {fill = 'red'}}), "
                            "TRectangle({id = 'b', style = {fill = 'blue'}})}, "
                            "function OnSwitch() result = 'switched to ' & this.curPos end})",
                            {0, 0, 99, 99}, 96);
    // Arranging switches to "curPos": only that child is shown, drawn and hit.
    EXPECT_EQ(h.Text(u"result"), "switched to 1");
    EXPECT_FALSE(Child(0)->Visible());
    EXPECT_TRUE(Child(1)->Visible());
    EXPECT_EQ(Spans(), "0-99 0-99 ");
    EXPECT_EQ(PixelAt(h.Paint(root), 50, 50), platform::Rgb(0, 0, 255));
    h.Ok("gTree.SwitchView(0)");
    EXPECT_EQ(h.Eval("gTree.Point2View({x = 5, y = 5}).id & ' ' & result"), "a switched to 0");
    EXPECT_EQ(PixelAt(h.Paint(root), 50, 50), platform::Rgb(255, 0, 0));
    // AddItem makes the new child current; the one shown before stays shown until the next switch.
    EXPECT_EQ(h.Eval("gTree.AddItem(TRectangle({id = 'c'})) & ' ' & gTree.curPos & ' ' & gTree.Point2View({x = 5, y = 5}).id"),
              "2 2 c");
    EXPECT_TRUE(Child(0)->Visible());
    EXPECT_EQ(h.Run("gTree.AddItem(1)"), "errTableExpected");
    // A refusing or failing child keeps every item; a consenting one lets
    // the item go and shows the first.
    h.Ok("gTree.views[0].OnClose = false gTree.DeleteItem(1)");
    EXPECT_EQ(h.Eval("Count(gTree.views)"), "3");
    EXPECT_EQ(h.Run("gTree.views[0].OnClose = function() return Not(5) end gTree.DeleteItem(1)"), "errBoolExpected");
    EXPECT_EQ(h.Eval("Count(gTree.views)"), "3");
    h.Ok("gTree.views[0].OnClose = null result = '' gTree.DeleteItem(1)");
    EXPECT_EQ(h.Eval("gTree.views[1].id & ' ' & gTree.curPos & ' ' & result"),
              "c 0 switched to 0");
    EXPECT_TRUE(Child(0)->Visible());
    EXPECT_FALSE(Child(1)->Visible());
    EXPECT_EQ(h.Run("gTree.SwitchView('x')"), "errNumberExpected");
    // A switch is as large as its parent's content.
    EXPECT_EQ(Layout("TRow({views = {TSwitch({views = {TRectangle({})}})}})", {0, 0, 79, 39}, 96,
                     "gTree.views[0].AutoWidth() & ' ' & gTree.views[0].AutoHeight()"),
              "80 40");
}

} // namespace
} // namespace vellum::test
