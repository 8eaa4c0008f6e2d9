// The common view methods and the view base: finding views, geometry in
// device-independent units, handlers.
#include "gui/gui_harness.h"


#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(h.Run("var result = null var clicks = '' var gTree = TRectangle({id = 'box', style = {margin = 4}})"),
                  "errOK");
    }
    gui::View* BuildAt(int32_t dpi)
    {
        gui::View* root = h.Build(u"gTree", {0, 0, 299, 99}, dpi);
        EXPECT_NE(root, nullptr);
        return root;
    }
    GuiHarness h;
};

TEST_F(ViewTest, FindingViewsByIdPointAndParent)
{
    BuildAt(96);
    // A known id, an unknown one (the root), the root's parent (itself).
    EXPECT_EQ(h.Eval("gTree.GetView('box').id & ' ' & gTree.GetView('nobody').id & ' ' & gTree.Parent().id"), "box box box");
    // Ids are compared as texts.
    ASSERT_EQ(h.Run("gTree.id = 7"), "errOK");
    EXPECT_EQ(h.Eval("gTree.GetView(7) == gTree"), "true");
    // Points in pixels: inside, outside, and not numbers: always a view table.
    EXPECT_EQ(h.Eval("(gTree.Point2View({x = 60, y = 10}) == gTree) & ' ' & "
                     "(gTree.Point2View({x = 900, y = 900}) == gTree) & ' ' & (gTree.Point2View({x = 'a'}) == gTree)"),
              "true true true");
    EXPECT_EQ(h.Run("gTree.Point2View(5)"), "errTableExpected");
    EXPECT_EQ(h.Run("gTree.GetView()"), "errFewArguments");
    EXPECT_EQ(h.Run("gTree.IsGroup(1)"), "errManyArguments");
    EXPECT_EQ(h.Eval("gTree.IsGroup() & ' ' & (gTree.Form() == gTestFormTable)"), "false true");
}

TEST_F(ViewTest, GeometryInDeviceIndependentUnits)
{
    BuildAt(192);
    // The content rectangle is 4 DIP = 8 pixels in from each edge: pixels
    // 8 .. 291 and 8 .. 91, in DIP 4 .. 145 and 4 .. 45.
    EXPECT_EQ(h.Eval("gTree.GetRect().left & ' ' & gTree.GetRect().top & ' ' & gTree.GetRect().width & ' ' & "
                     "gTree.GetRect().height"),
              "4 4 142 42");
    EXPECT_EQ(h.Eval("gTree.Dip2PxX(10.9) & ' ' & gTree.Dip2PxY(-3) & ' ' & TText.Dip2PxX(10.9)"), "20 -6 10");
    EXPECT_EQ(h.Run("gTree.Dip2PxX('x')"), "errNumberExpected");
    // Methods on a table without a native view give null.
    EXPECT_EQ(h.Eval("AsStr(TRectangle({}).GetRect()) & AsStr(TRectangle({}).Parent())"), "nullnull");
    // Default derives the argument from the receiver; a non-table comes back as it was.
    EXPECT_EQ(h.Eval("(TText({}).parent == TText) & ' ' & TText(5)"), "true 5");
}

TEST_F(ViewTest, HandlersAndTheirAnswers)
{
    gui::View* root = BuildAt(192);
    // Without a handler anywhere up the tree a click does nothing.
    EXPECT_FALSE(root->OnClick());
    ASSERT_EQ(h.Run("gTree.OnClick = function() clicks = clicks & 'box ' end"), "errOK");
    EXPECT_TRUE(root->OnClick());
    EXPECT_EQ(h.Text(u"clicks"), "box ");
    // Mouse handlers get the point in DIP.
    ASSERT_EQ(h.Run("gTree.OnMouseDown = function(pt) result = pt.x & ',' & pt.y end"), "errOK");
    root->OnMouseDown(20, 31);
    EXPECT_TRUE(root->Pressed());
    EXPECT_EQ(h.Text(u"result"), "10,15");
    // Closing: null and true consent, anything else refuses.
    EXPECT_TRUE(root->OnClose());
    ASSERT_EQ(h.Run("gTree.OnClose = 3"), "errOK");
    EXPECT_FALSE(root->OnClose());
    // Automatic sizes come from the measuring fields when they give numbers.
    ASSERT_EQ(h.Run("gTree.GetAutoWidth = 12.7 gTree.GetAutoHeight = function() return 'no' end"), "errOK");
    EXPECT_EQ(root->AutoWidthOf(), 12);
    EXPECT_EQ(root->AutoHeightOf(), 0);
}

} // namespace
} // namespace vellum::test
