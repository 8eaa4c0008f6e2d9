// The system cursors a view may put up with SetCursor, and putting back the
// one it replaced.
#pragma once

#include <optional>
#include <string_view>

namespace vellum::platform {

enum class CursorShape { Arrow, Cross, Hand, Help, IBeam, No, SizeAll, SizeNesw, SizeNs, SizeNwse, SizeWe, UpArrow, Wait };

// The shape a script names ("arrow", "wait", ...), compared without regard
// to case; nothing for another name.
std::optional<CursorShape> CursorNamed(std::u16string_view name);

// The cursor in force: a shape, or none (no cursor shown).
using CursorState = std::optional<CursorShape>;

// Makes shape current and gives the state it replaced.
CursorState ReplaceCursor(CursorShape shape);
// Puts a state back; none makes no cursor current.
void RestoreCursor(CursorState state);

// While a system dialog or menu is open, the windows' own pointer (the
// arrow) stands in for the program's cursor: a blank or wait cursor a
// script put up would leave a mouse user unable to work the dialog. The
// program's cursor comes back when the scope ends.
class SystemPointerScope {
public:
    SystemPointerScope() : replaced(ReplaceCursor(CursorShape::Arrow)) { RestoreCursor(CursorShape::Arrow); }
    ~SystemPointerScope() { RestoreCursor(replaced); }
    SystemPointerScope(const SystemPointerScope&) = delete;
    SystemPointerScope& operator=(const SystemPointerScope&) = delete;

private:
    CursorState replaced;
};

} // namespace vellum::platform
