// Forms as users meet them: shown from scripts on the offscreen platform,
// driven with real pointer and key events, read back from the window's
// pixels. Each test's steps run inside the loop of the form they drive.
#include "gui/form_fixture.h"
#include "gui/gui_library.h"
#include "media/recorder/recorder_method.h"
#include "platform/window/form_window_probe.h"
#include "platform/window/today_host.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

using platform::Rgb;

// The device of these tests: small, and at 96 dpi so that DIP are pixels.
constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kStrip = 26; // the title strip and the soft-key bar

class FormTest : public FormFixture {};

// Two rectangles on a canvas: a (red, 10..59) and b (blue, 100..149), both
// logging their input.
constexpr std::string_view kTwoBoxes = R"(
var gBox = {
  OnMouseDown = function(pt) Log('down:' & this.id & ':' & pt.x & ',' & pt.y) end,
  OnMouseMove = function(pt) Log('move:' & this.id & ':' & pt.x) end,
  OnMouseUp = function(pt) Log('up:' & this.id) end,
  OnClick = function() Log('click:' & this.id) end,
  OnKeyDown = function(key) Log('key:' & this.id & ':' & key) end,
  OnSetFocus = function() Log('focus:' & this.id) end}
TRectangle(gBox)
gForm = TForm({title = 'Boxes', view = TCanvas({views = {
  gBox({id = 'a', left = 10, top = 10, width = 50, height = 50, style = {fill = 'red'}}),
  gBox({id = 'b', left = 100, top = 10, width = 50, height = 50, style = {fill = 'blue'}})}}),
  OnClose = function() Log('close') end})
)";

TEST_F(FormTest, PaintsAndSendsPointerAndKeysToViews)
{
    h.Ok(std::string(kTwoBoxes));
    Later([&] {
        QWidget* form = platform::FormWindowTitled("Boxes");
        ASSERT_TRUE(form != nullptr && QTest::qWaitForWindowExposed(form));
        EXPECT_EQ(form->size(), QSize(kWidth, kHeight));
        QWidget* client = platform::ClientAreaOf(form);
        // Without a menu there is no soft-key bar: the client area runs to the bottom.
        EXPECT_EQ(client->geometry(), QRect(0, kStrip, kWidth, kHeight - kStrip));

        const QImage pixels = client->grab().toImage();
        EXPECT_EQ(PixelAt(pixels, 30, 30), Rgb(255, 0, 0));
        EXPECT_EQ(PixelAt(pixels, 120, 30), Rgb(0, 0, 255));

        // Moves without a button-down on a view are nobody's.
        QTest::mouseMove(client, QPoint(30, 30));
        Drag(client, QPoint(35, 35));
        EXPECT_EQ(h.TakeLog(), "");
        // The root has the focus and no key handler: keys go nowhere.
        QTest::keyClick(client, Qt::Key_Up);
        EXPECT_EQ(h.TakeLog(), "");

        // Pressed on a, released over b: a is pressed and released, b clicked.
        QTest::mousePress(client, Qt::LeftButton, {}, QPoint(20, 25));
        Drag(client, QPoint(120, 25));
        QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(120, 25));
        EXPECT_EQ(h.TakeLog(), "down:a:20,25 focus:a move:a:120 up:a click:b ");
        // Released outside every view: a still hears the release, nobody is clicked.
        QTest::mousePress(client, Qt::LeftButton, {}, QPoint(20, 25));
        QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(kWidth + 30, 25));
        EXPECT_EQ(h.TakeLog(), "down:a:20,25 up:a ");

        // Keys reach the focused view only, as virtual keys.
        QTest::keyClick(client, Qt::Key_Up);
        QTest::keyClick(client, Qt::Key_Q);
        QTest::keyClick(client, Qt::Key_Return);
        QTest::keyClick(client, Qt::Key_5, Qt::KeypadModifier);
        EXPECT_EQ(h.TakeLog(), "key:a:38 key:a:81 key:a:13 key:a:101 ");
        h.Ok("gForm.SetFocus('b')");
        QTest::keyClick(client, Qt::Key_Down);
        EXPECT_EQ(h.TakeLog(), "focus:b key:b:40 ");

        // The done button (ok) closes the form.
        QToolButton* done = platform::DoneButtonOf(form);
        ASSERT_NE(done, nullptr);
        QTest::mouseClick(done, Qt::LeftButton);
    });
    h.Ok("gForm.Show() Log('returned')");
    EXPECT_EQ(h.TakeLog(), "close returned ");
    EXPECT_EQ(platform::FormWindowTitled("Boxes"), nullptr);
}

TEST_F(FormTest, MenusNumberUpdateAndDispatchAndTheDoneButtonTakesItsKind)
{
    h.Ok(R"(
var gChecked = false var gCount = 0
var gMenu = {
  {item = 'Go', action = function() Log('go') end},
  {menu = 'Options', items = {
    {item = 'Check', check = function() return gChecked end, enable = false},
    {},
    {item = function() return 'Count ' & gCount end},
    {menu = 'More', items = {{item = 'Deep', action = function() Log('deep ' & this.id) end}}}}}}
var gSecond = {{item = 'Again', action = function() Log('again') end}}
gForm = TForm({title = 'Menus', menu = gMenu, view = TRectangle({})})
)");
    EXPECT_EQ(ShowForm("Menus", [&](QWidget* form) {
        EXPECT_EQ(h.Eval("gMenu[0].id & ' ' & gMenu[1].items[0].id & ' ' & gMenu[1].items[2].id & ' ' & "
                       "gMenu[1].items[3].items[0].id & ' ' & gMenu[1].items[1].id"),
                  "100 101 102 103 null");
        // The soft-key bar takes the bottom strip from the client area.
        EXPECT_EQ(platform::ClientAreaOf(form)->height(), kHeight - 2 * kStrip);

        QToolButton* go = platform::SoftKeyOf(form, "Go");
        ASSERT_NE(go, nullptr);
        QTest::mouseClick(go, Qt::LeftButton);
        EXPECT_EQ(h.TakeLog(), "go ");

        // Opening the pop-up brings every command up to date first.
        h.Ok("gChecked = true gCount = 5");
        QTest::mouseClick(platform::SoftKeyOf(form, "Options"), Qt::LeftButton);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QAction* check = ActionNamed(popup, "Check");
        QAction* count = ActionNamed(popup, "Count 5");
        QAction* more = ActionNamed(popup, "More");
        ASSERT_TRUE(check != nullptr && count != nullptr && more != nullptr);
        EXPECT_TRUE(check->isChecked());
        // A command of a nested menu runs with its own identifier.
        ActionNamed(more->menu(), "Deep")->trigger();
        EXPECT_EQ(h.TakeLog(), "deep 103 ");
        // A command without "action" leaves the call error pending (which
        // ends the form's loop once these steps are over).
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(count).center());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(std::u16string(h.ip.ErrorIdentifier()), u"errFunctionCallToNonFunction");
        h.ip.ClearError();
        // A new menu numbers from 100 again.
        h.Ok("gForm.SetMenu(gSecond)");
        EXPECT_EQ(h.Eval("gSecond[0].id"), "100");
        EXPECT_EQ(platform::SoftKeyOf(form, "Go"), nullptr);
        QToolButton* again = platform::SoftKeyOf(form, "Again");
        ASSERT_NE(again, nullptr);
        QTest::mouseClick(again, Qt::LeftButton);
        EXPECT_EQ(h.TakeLog(), "again ");
        EXPECT_EQ(h.Run("gForm.SetMenu(3)"), "errTableExpected");

        // The input panel covers the bottom of the client area: the root
        // shrinks. Its keys are made when it is first raised.
        EXPECT_EQ(platform::InputPanelOf(form), nullptr);
        h.Ok("gForm.ShowSip(true)");
        EXPECT_TRUE(platform::InputPanelOf(form)->isVisible());
        EXPECT_EQ(h.Eval("gForm.view.GetRect().height"), std::to_string(kHeight - 2 * kStrip - 80));
        h.Ok("gForm.ShowSip(false)");
        EXPECT_EQ(h.Eval("gForm.view.GetRect().height"), std::to_string(kHeight - 2 * kStrip));
        EXPECT_EQ(h.Run("gForm.ShowSip(1)"), "errBoolExpected");

        QToolButton* done = platform::DoneButtonOf(form);
        h.Ok("gForm.DoneButton('none')");
        EXPECT_FALSE(done->isVisible());
        h.Ok("gForm.DoneButton('Cancel')");
        EXPECT_TRUE(done->isVisible());
        EXPECT_EQ(done->text(), QString::fromUtf16(u"\u00D7"));
        h.Ok("gForm.SetTitle('Renamed')");
        EXPECT_EQ(form->windowTitle(), "Renamed");
        QTest::mouseClick(done, Qt::LeftButton);
    }), "errOK");
    EXPECT_EQ(platform::FormWindowTitled("Renamed"), nullptr);
}

TEST_F(FormTest, AQuitAskedWhileALoopEndsGoesWithIt)
{
    // An error unwinding the loops ends the first form's loop; its window
    // then closes and asks for a quit, which must not end the next form.
    h.Ok("gForm = TForm({title = 'First', view = TRectangle({})})");
    Later([&] {
        QWidget* form = platform::FormWindowTitled("First");
        ASSERT_NE(form, nullptr);
        platform::EndLoopsOf(&h.ip);
        form->close();
    });
    h.Ok("gForm.Show()");
    h.Ok("gForm = TForm({title = 'Second', view = TRectangle({})})");
    bool ran = false;
    QPointer<QTimer> step = WhenShown([] { return platform::FormWindowTitled("Second"); },
                                      [&](QWidget* form) {
                                          ran = true;
                                          form->close();
                                      });
    h.Ok("gForm.Show()");
    EXPECT_TRUE(ran);
    delete step;
    if (QWidget* left = platform::FormWindowTitled("Second")) left->close();
}

TEST_F(FormTest, TodayItemsAskForTheirHeight)
{
    // Without the Today screen a Today form does nothing.
    h.Ok("gForm = TTodayForm({height = 30, view = TRectangle({})}) gForm.Show()");
    EXPECT_EQ(h.Eval("gForm.pObject == null"), "true");

    platform::TodayHost host;
    // The globals and dialogs of a run inside the host.
    media::RegisterRecorderMethod(h.ip);
    gui::RegisterFormClasses(h.ip);
    gui::RegisterDialogMethods(h.ip);
    host.Show();
    h.Ok("gForm = TTodayForm({height = 30, view = TRectangle({style = {fill = 'red'}})}) gForm.Show()");
    EXPECT_EQ(h.Eval("ValType(gTodayMainWnd) & ' ' & ValType(gTodayParentWnd)"), "binary binary");
    QWidget* item = platform::TodayItemOf(host);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->height(), 30);
    EXPECT_EQ(PixelAt(platform::ClientAreaOf(item)->grab().toImage(), 5, 5), Rgb(255, 0, 0));
    // The Today screen's text colour; and the dialogs that need no window of their own.
    h.Ok("var c = gForm.TodayTextColor()");
    EXPECT_EQ(h.Eval("Count(c) & ':' & c[0] & c[1] & c[2]"), "3:000");
    QPalette white = item->window()->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    item->window()->setPalette(white);
    EXPECT_EQ(h.Eval("gForm.TodayTextColor()[2]"), "255");
    EXPECT_EQ(h.Eval("ValType(gForm.PopupMenu) & ValType(gForm.ChooseContact) & ValType(gForm.VoiceRecorder)"),
              "funcBinfuncBinnull");

    EXPECT_EQ(host.RefreshItems(), 0);
    h.Ok("gForm.height = 45");
    EXPECT_EQ(host.RefreshItems(), 1);
    EXPECT_EQ(item->height(), 45);
    // Not a number: the default height, asked for once.
    h.Ok("gForm.height = 'tall'");
    EXPECT_EQ(host.RefreshItems(), 1);
    EXPECT_EQ(item->height(), 50);
    // A handle the script made up reaches no window.
    h.Ok("gTodayParentWnd = gTodayMainWnd gForm = TTodayForm({view = TRectangle({})}) gForm.Show()");
    EXPECT_EQ(h.Eval("gForm.pObject == null"), "true");
}

} // namespace
} // namespace vellum::test
