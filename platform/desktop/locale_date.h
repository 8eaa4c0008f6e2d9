// Dates written the way the user's locale writes them.
#pragma once

#include <string>

namespace vellum::platform {

// The date in the user's locale's short date format ("07/12/2026" or
// "2026-12-07", as the locale has it); empty for a day the calendar lacks.
std::u16string ShortDateText(int year, int month, int day);

} // namespace vellum::platform
