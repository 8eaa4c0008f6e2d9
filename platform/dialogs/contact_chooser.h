// The contact chooser: a modal list of the contacts' phone numbers, one
// row a number, narrowed down as the user types part of a name or number.
#pragma once

#include "platform/window/form_window.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vellum::platform {

struct ContactRow {
    std::u16string name;
    std::u16string number;
    std::u16string kind; // the number's types, such as "cell" or "work, voice"
};

// Shows the rows, owned by the form window when there is one, and gives
// the index of the row chosen; none when the user cancels, and at once in
// console mode or without a screen.
std::optional<size_t> ChooseContactRow(const FormWindow* owner, const std::vector<ContactRow>& rows);

} // namespace vellum::platform
