// A question box whose buttons say what they do ("Save As...", "Discard",
// "Cancel"), for the program's own questions; scripts' boxes have the
// handheld's fixed button sets (message_box.h).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace vellum::platform {

class FormWindow;

// Shows a modal box owned by the window and gives the index of the button
// pressed; closed without one, the last button (the one that cancels).
size_t ShowChoiceBox(std::u16string_view text, std::u16string_view caption,
                     std::span<const std::u16string_view> buttons, const FormWindow* owner);

} // namespace vellum::platform
