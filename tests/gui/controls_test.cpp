// The native controls as a user meets them: forms built from scripts on
// the offscreen platform, real clicks, drags and keys sent into the
// control widgets, and what the script's tables and handlers see.
#include "gui/controls/control_view.h"
#include "gui/controls/tabs_view.h"
#include "gui/form_fixture.h"
#include "platform/window/form_window_probe.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vellum::test {
namespace {

class ControlsTest : public FormFixture {
protected:
    template <class W>
    W* Widget(const std::string& id)
    {
        return qobject_cast<W*>(ControlWidget(id));
    }
    QTabBar* TabBar(const std::string& id)
    {
        auto* view = dynamic_cast<gui::TabsView*>(ViewOf(id));
        if (view == nullptr || view->Bar() == nullptr) return nullptr;
        return qobject_cast<QTabBar*>(platform::ControlWidgetOf(*view->Bar()));
    }
};

// Where a part of a scroll bar lies, in the bar's own pixels.
QPoint PartOf(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

TEST_F(ControlsTest, ButtonClickReachesOnClickAndTakesTheFocus)
{
    ShowView("TColumn({views = {TButton({id = 'b', text = 'Go', style = {margin = 4, align = 'right'}, "
             "OnClick = function() Log('click') end, OnSetFocus = function() Log('focus') end}), TRectangle({})}})",
             [&](QWidget*) {
        auto* button = Widget<QPushButton>("b");
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(button->text(), "Go");
        // Placed on the content rectangle: the view's rectangle less the margins.
        const platform::Rect r = ViewOf("b")->Bounds();
        EXPECT_EQ(button->geometry(), QRect(r.left + 4, r.top + 4, r.Width() - 8, r.Height() - 8));
        h.TakeLog();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(h.TakeLog(), "focus click ");
        EXPECT_TRUE(button->hasFocus());
        // Tab is a key like any other: the focus stays.
        QTest::keyClick(button, Qt::Key_Tab);
        EXPECT_TRUE(button->hasFocus());
        // Refresh pushes the caption again.
        h.Ok("var b = gForm.GetView('b') b.text = 'Stop' b.Redraw()");
        EXPECT_EQ(button->text(), "Stop");
        // A caption of a million characters shows what a screen can hold and
        // reads back whole.
        h.Ok("var long = '' var i = 0 while i < 20 long = long & 'x' i = i + 1 end "
             "while long.Len() < 1000000 long = long & long end b.text = long b.Redraw()");
        EXPECT_LE(button->text().size(), 10000);
        EXPECT_EQ(h.Eval("b.text.Len()"), "1310720");
    });
}

// Qt is still giving the focus to the control while the handler runs: the
// control goes once Qt is done with it, and the tap ends without harm.
TEST_F(ControlsTest, AControlMayRemoveItsOwnViewWhenItTakesTheFocus)
{
    h.Ok("var col = null "
         "col = TColumn({views = {TScrollBar({id = 's', horizontal = true, height = 60, "
         "OnSetFocus = function() Log('focus') col.RemoveView(this) end}), "
         "TButton({id = 'b', text = 'stays', OnClick = function() Log('click') end})}})");
    ShowView("col", [&](QWidget*) {
        QPointer<QScrollBar> bar = Widget<QScrollBar>("s");
        ASSERT_NE(bar, nullptr);
        bar->show();
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
        EXPECT_EQ(h.TakeLog(), "focus ");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(bar.isNull());
        EXPECT_EQ(h.Eval("col.views[0].id"), "b");
        auto* button = Widget<QPushButton>("b");
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(h.TakeLog(), "click ");
    });
}

TEST_F(ControlsTest, ScrollBarActionsGiveClampedPositions)
{
    ShowView("TRow({views = {TScrollBar({id = 's', scrollRange = 20, pgSize = 5, GetAutoWidth = 20, "
             "OnScroll = function() Log(this.curPos) end}), TRectangle({})}})", [&](QWidget*) {
        auto* bar = Widget<QScrollBar>("s");
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->orientation(), Qt::Vertical);
        // The thumb stops where the last page begins.
        EXPECT_EQ(bar->maximum(), 15);
        EXPECT_EQ(bar->pageStep(), 5);
        const auto click = [&](QStyle::SubControl part) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, PartOf(bar, part));
        };
        click(QStyle::SC_ScrollBarSubLine); // already at the top: no OnScroll
        click(QStyle::SC_ScrollBarAddLine);
        click(QStyle::SC_ScrollBarAddLine);
        click(QStyle::SC_ScrollBarSubLine);
        click(QStyle::SC_ScrollBarAddPage);
        click(QStyle::SC_ScrollBarSubPage);
        EXPECT_EQ(h.TakeLog(), "1 2 1 6 1 ");
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_End);
        QTest::keyClick(bar, Qt::Key_End);
        QTest::keyClick(bar, Qt::Key_Home);
        EXPECT_EQ(h.TakeLog(), "15 0 ");

        // Dragging the thumb past the end stops at the last page; letting
        // go changes nothing.
        const QPoint grip = PartOf(bar, QStyle::SC_ScrollBarSlider);
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        Drag(bar, grip + QPoint(0, 40));
        Drag(bar, QPoint(grip.x(), bar->height() + 200));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(grip.x(), bar->height() - 1));
        const std::string dragged = h.TakeLog();
        EXPECT_EQ(dragged.substr(dragged.rfind(' ', dragged.size() - 2) + 1), "15 ");
        EXPECT_EQ(h.Eval("gForm.GetView('s').curPos"), "15");
        EXPECT_EQ(bar->value(), 15);

        // A refresh puts the script's position in, clamped.
        h.Ok("var s = gForm.GetView('s') s.curPos = 3 s.horizontal = true s.Redraw()");
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->value(), 3);
        h.Ok("s.curPos = 99 s.Redraw()");
        EXPECT_EQ(bar->value(), 15);
        h.TakeLog();
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Home);
        QTest::keyClick(bar, Qt::Key_Right);
        EXPECT_EQ(h.TakeLog(), "0 1 ");
    });
}

TEST_F(ControlsTest, TabsSwitchByATapAndShowOnlyTheCurrentPage)
{
    ShowView("TTabs({id = 't', OnSwitch = function() Log('switch ' & this.curPos) end, views = {"
             "TColumn({id = 'p1', tab = 'One', views = {TButton({id = 'b1', text = '1', "
             "OnClick = function() Log('click ' & this.id) end})}}), "
             "TColumn({tab = 'Two', views = {TButton({id = 'b2', text = '2'})}})}})", [&](QWidget*) {
        QTabBar* bar = TabBar("t");
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(bar->count(), 2);
        EXPECT_EQ(bar->tabText(1), "Two");
        // The bar lies along the bottom, the pages above it.
        const platform::Rect r = ViewOf("t")->Bounds();
        EXPECT_EQ(bar->geometry().bottom(), r.bottom);
        EXPECT_EQ(ViewOf("p1")->Bounds().bottom, bar->geometry().top() - 1);
        auto* one = Widget<QPushButton>("b1");
        QPointer<QPushButton> two = Widget<QPushButton>("b2");
        ASSERT_TRUE(one != nullptr && two != nullptr);
        EXPECT_TRUE(one->isVisible());
        EXPECT_FALSE(two->isVisible());
        h.TakeLog();

        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        EXPECT_EQ(h.TakeLog(), "switch 1 ");
        EXPECT_FALSE(one->isVisible());
        EXPECT_TRUE(two->isVisible());

        EXPECT_EQ(h.Eval("gForm.GetView('t').AddItem(TColumn({tab = 'Three', views = {TButton({id = 'b3'})}}))"), "2");
        EXPECT_EQ(h.TakeLog(), "switch 2 ");
        EXPECT_EQ(bar->count(), 3);
        EXPECT_EQ(bar->currentIndex(), 2);
        EXPECT_FALSE(two->isVisible());
        ASSERT_NE(Widget<QPushButton>("b3"), nullptr);
        EXPECT_TRUE(Widget<QPushButton>("b3")->isVisible());

        h.Ok("gForm.GetView('t').SwitchView(0)");
        EXPECT_EQ(bar->currentIndex(), 0);
        EXPECT_TRUE(one->isVisible());
        h.Ok("gForm.GetView('t').DeleteItem(1)");
        EXPECT_EQ(bar->count(), 2);
        EXPECT_EQ(bar->tabText(1), "Three");
        // The deleted page's control is gone.
        EXPECT_TRUE(two.isNull());
        EXPECT_EQ(h.TakeLog(), "switch 0 switch 0 ");
        // A control on a page runs its own handler, once.
        QTest::mouseClick(one, Qt::LeftButton);
        EXPECT_EQ(h.TakeLog(), "click b1 ");
    });
}

TEST_F(ControlsTest, ControlsShowAndHideWithTheirSwitchChild)
{
    ShowView("TSwitch({id = 'w', views = {TColumn({views = {TButton({id = 'a'})}}), "
             "TColumn({views = {TTabs({id = 't', views = {TColumn({tab = 'x', views = {TScrollBar({id = 's'})}})}})}})}})",
             [&](QWidget*) {
        QWidget* button = Widget<QPushButton>("a");
        QWidget* bar = TabBar("t");
        QWidget* scroll = Widget<QScrollBar>("s");
        ASSERT_TRUE(button != nullptr && bar != nullptr && scroll != nullptr);
        const auto shown = [&] { return std::tuple(button->isVisible(), bar->isVisible(), scroll->isVisible()); };
        // The tabs lie on the page that is not shown: nothing of them shows.
        EXPECT_EQ(shown(), std::tuple(true, false, false));
        h.Ok("gForm.GetView('w').SwitchView(1)");
        EXPECT_EQ(shown(), std::tuple(false, true, true));
        h.Ok("gForm.GetView('t').Hide()");
        EXPECT_EQ(shown(), std::tuple(false, false, false));
    });
}

} // namespace
} // namespace vellum::test
