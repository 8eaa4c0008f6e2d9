// Cursors through Qt's application override cursor. The program keeps at
// most one entry of its own on Qt's override stack: while it is there, its
// shape (or Qt::BlankCursor for none) is the cursor in force; without it
// the windows show their own pointer, the arrow. Console runs have no
// cursor, and these calls do nothing there.
#include "platform/window/cursor.h"

#include "engine/core/case_folding.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include <array>

namespace vellum::platform {

namespace {

struct NamedShape {
    std::u16string_view name;
    CursorShape shape;
    Qt::CursorShape qt;
};

constexpr std::array<NamedShape, 13> shapes = {{
    {u"arrow", CursorShape::Arrow, Qt::ArrowCursor},
    {u"cross", CursorShape::Cross, Qt::CrossCursor},
    {u"hand", CursorShape::Hand, Qt::PointingHandCursor},
    {u"help", CursorShape::Help, Qt::WhatsThisCursor},
    {u"ibeam", CursorShape::IBeam, Qt::IBeamCursor},
    {u"no", CursorShape::No, Qt::ForbiddenCursor},
    {u"sizeall", CursorShape::SizeAll, Qt::SizeAllCursor},
    {u"sizenesw", CursorShape::SizeNesw, Qt::SizeBDiagCursor},
    {u"sizens", CursorShape::SizeNs, Qt::SizeVerCursor},
    {u"sizenwse", CursorShape::SizeNwse, Qt::SizeFDiagCursor},
    {u"sizewe", CursorShape::SizeWe, Qt::SizeHorCursor},
    {u"uparrow", CursorShape::UpArrow, Qt::UpArrowCursor},
    {u"wait", CursorShape::Wait, Qt::WaitCursor},
}};

// Our entry on the override stack, when there is one.
std::optional<CursorState> current;

bool HaveCursor() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

Qt::CursorShape QtShape(CursorState state)
{
    if (!state) return Qt::BlankCursor;
    for (const NamedShape& entry : shapes) {
        if (entry.shape == *state) return entry.qt;
    }
    return Qt::ArrowCursor;
}

void Show(CursorState state)
{
    const QCursor cursor(QtShape(state));
    if (current) QGuiApplication::changeOverrideCursor(cursor);
    else QGuiApplication::setOverrideCursor(cursor);
    current = state;
}

} // namespace

std::optional<CursorShape> CursorNamed(std::u16string_view name)
{
    for (const NamedShape& entry : shapes) {
        // Cursor names are ASCII: only ASCII letters may stand for them.
        if (EqualsAsciiWord(name, entry.name)) return entry.shape;
    }
    return std::nullopt;
}

CursorState ReplaceCursor(CursorShape shape)
{
    if (!HaveCursor()) return CursorShape::Arrow;
    const CursorState replaced = current.value_or(CursorShape::Arrow);
    Show(shape);
    return replaced;
}

void RestoreCursor(CursorState state)
{
    if (!HaveCursor()) return;
    // The arrow is the windows' own pointer: putting it back takes our
    // entry off the stack.
    if (state == CursorShape::Arrow) {
        if (current) QGuiApplication::restoreOverrideCursor();
        current.reset();
        return;
    }
    Show(state);
}

} // namespace vellum::platform
