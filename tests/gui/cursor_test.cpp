// Cursors a view puts up and takes down, seen through Qt's override cursor.
#include "gui/gui_harness.h"
#include "platform/window/cursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

using platform::CursorShape;

std::optional<Qt::CursorShape> Override()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    if (cursor == nullptr) return std::nullopt;
    return cursor->shape();
}

TEST(Cursor, NamesIgnoreCaseAndReplacingAndRestoringTrackTheCursorInForce)
{
    const std::pair<std::u16string_view, std::optional<CursorShape>> names[] = {
        {u"wait", CursorShape::Wait}, {u"SizeNWSE", CursorShape::SizeNwse}, {u"UPARROW", CursorShape::UpArrow},
        {u"IBeam", CursorShape::IBeam}, {u"busy", std::nullopt}, {u"arrow ", std::nullopt}, {u"", std::nullopt}};
    for (const auto& [name, shape] : names) EXPECT_EQ(platform::CursorNamed(name), shape);

    ASSERT_EQ(Override(), std::nullopt);
    // With nothing of ours up, the windows' own arrow is what gets replaced.
    EXPECT_EQ(platform::ReplaceCursor(CursorShape::Wait), platform::CursorState(CursorShape::Arrow));
    EXPECT_EQ(Override(), Qt::WaitCursor);
    EXPECT_EQ(platform::ReplaceCursor(CursorShape::Hand), platform::CursorState(CursorShape::Wait));
    EXPECT_EQ(Override(), Qt::PointingHandCursor);

    platform::RestoreCursor(CursorShape::Wait);
    EXPECT_EQ(Override(), Qt::WaitCursor);
    platform::RestoreCursor(std::nullopt); // no cursor at all
    EXPECT_EQ(Override(), Qt::BlankCursor);
    EXPECT_EQ(platform::ReplaceCursor(CursorShape::Cross), platform::CursorState());
    platform::RestoreCursor(CursorShape::Arrow);
    EXPECT_EQ(Override(), std::nullopt);
    platform::RestoreCursor(CursorShape::Arrow); // twice is harmless
    EXPECT_EQ(Override(), std::nullopt);

    // A view's first SetCursor holds until its PrevCursor; names it does not know change nothing.
    GuiHarness h;
    h.Ok("var gView = TRectangle({})");
    ASSERT_NE(h.Build(u"gView", {0, 0, 9, 9}), nullptr);
    h.Ok("gView.SetCursor('busy') gView.SetCursor('wait') gView.SetCursor('hand')");
    EXPECT_EQ(Override(), Qt::WaitCursor);
    h.Ok("gView.PrevCursor() TRectangle({}).SetCursor('wait') TRectangle({}).PrevCursor()");
    EXPECT_EQ(Override(), std::nullopt);
    EXPECT_EQ(h.Run("gView.SetCursor()"), "errFewArguments");
}

} // namespace
} // namespace vellum::test
