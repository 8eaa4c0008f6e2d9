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

} // namespace vellum::platform
