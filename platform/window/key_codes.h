// Keys as the handheld's scripts know them: virtual-key numbers
// (VK_UP 0x26, VK_RETURN 0x0D, letters as upper-case ASCII, digits as
// ASCII, ...), the values an "OnKeyDown" handler receives.
#pragma once

#include <cstdint>

namespace vellum::platform {

namespace vk {
inline constexpr int32_t Back = 0x08;
inline constexpr int32_t Tab = 0x09;
inline constexpr int32_t Return = 0x0D;
inline constexpr int32_t Shift = 0x10;
inline constexpr int32_t Control = 0x11;
inline constexpr int32_t Menu = 0x12; // Alt
inline constexpr int32_t Escape = 0x1B;
inline constexpr int32_t Space = 0x20;
inline constexpr int32_t Prior = 0x21; // page up
inline constexpr int32_t Next = 0x22;  // page down
inline constexpr int32_t End = 0x23;
inline constexpr int32_t Home = 0x24;
inline constexpr int32_t Left = 0x25;
inline constexpr int32_t Up = 0x26;
inline constexpr int32_t Right = 0x27;
inline constexpr int32_t Down = 0x28;
inline constexpr int32_t Delete = 0x2E;
inline constexpr int32_t F1 = 0x70;
} // namespace vk

// The virtual key of a Qt key (a Qt::Key value; keypad tells the number
// pad's keys apart); 0 for a key the handheld has no number for.
int32_t VirtualKeyOfQtKey(int qtKey, bool keypad);

} // namespace vellum::platform
