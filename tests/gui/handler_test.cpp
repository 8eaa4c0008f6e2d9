// The handler path every view event takes: what a view does without a
// handler, a handler that must be a function and is not, values that stand
// for a handler's answer, points in DIP; and a handler may drop its own view.
#include "gui/gui_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.Ok("var gTree = null var log = ''\n"
             "gTree = TColumn({id = 'outer', views = {TRectangle({id = 'inner', height = 20})}})");
        root = h.Build(u"gTree", {0, 0, 99, 99}, 192);
        ASSERT_NE(root, nullptr);
        inner = root->FindById(u"inner");
        ASSERT_TRUE(inner != nullptr && inner != root);
    }
    GuiHarness h;
    gui::View* root = nullptr;
    gui::View* inner = nullptr;
};

TEST_F(HandlerTest, InputHandlersMustBeFunctionsWhereOthersMayBeAnswers)
{
    // Without a handler anywhere up the tree a click does nothing; the parent's handler takes it.
    EXPECT_FALSE(inner->OnClick());
    h.Ok("gTree.OnClick = function() log = 'parent' end");
    EXPECT_TRUE(inner->OnClick());
    EXPECT_EQ(h.Text(u"log"), "parent");
    // A handler that is no function: handled (the parent is not asked), with the call error pending.
    h.Ok("log = '' gTree.views[0].OnClick = 5");
    EXPECT_TRUE(inner->OnClick());
    EXPECT_EQ(std::u16string(h.ip.ErrorIdentifier()), u"errFunctionCallToNonFunction");
    h.ip.ClearError();
    EXPECT_EQ(h.Text(u"log"), "");
    // Mouse handlers get the point in DIP, two pixels each at 192 dpi.
    h.Ok("gTree.views[0].OnMouseDown = function(pt) log = pt.x & ',' & pt.y end");
    inner->OnMouseDown(20, 31);
    EXPECT_TRUE(inner->Pressed());
    EXPECT_EQ(h.Text(u"log"), "10,15");
    // A value stands for the answer of a handler that may be one: null and
    // true consent to closing, anything else refuses.
    EXPECT_TRUE(inner->OnClose());
    h.Ok("gTree.views[0].OnClose = 3 gTree.views[0].OnSetFocus = 'x'");
    EXPECT_FALSE(inner->OnClose());
    inner->OnSetFocus();
    EXPECT_FALSE(h.ip.ErrorPending());
    // Automatic sizes come from the measuring fields when they give numbers.
    h.Ok("gTree.views[0].GetAutoWidth = 12.7 gTree.views[0].GetAutoHeight = function() return 'no' end");
    EXPECT_EQ(inner->AutoWidthOf(), 12);
    EXPECT_EQ(inner->AutoHeightOf(), 0);
}

TEST_F(HandlerTest, AHandlerMayDropItsOwnView)
{
    // The handler cuts its view out of every table, then makes enough
    // garbage for the collector to run while it is still executing.
    h.Ok("gTree.views[0].OnClick = function()\n"
         "  gTree.views = {} gTree = null\n"
         "  var i = 0 while i < 50000 var t = {i} i = i + 1 end\n"
         "  log = this.id\n"
         "end");
    const int32_t before = h.ip.ObjectCount();
    EXPECT_TRUE(inner->OnClick());
    EXPECT_EQ(h.Text(u"log"), "inner");
    EXPECT_LT(h.ip.ObjectCount(), before + 50000) << "the collector never ran";
}

} // namespace
} // namespace vellum::test
