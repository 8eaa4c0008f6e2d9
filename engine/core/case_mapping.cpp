// Locale-independent simple case mapping over a small table of ranges.
//
// Each row names a run of upper-case letters and the distance to their
// lower-case partners: either a contiguous run (step 1) or alternating
// upper/lower pairs (step 2, the upper letter first). Letters that map one
// way only (final sigma, dotless i, the long s, the symbol variants of
// Greek letters) are rows restricted to that direction, so the mapping in
// each direction stays a function.
#include "engine/core/case_mapping.h"

#include <cstdint>

namespace vellum {

namespace {

enum class Direction : uint8_t { Both, ToLowerOnly, ToUpperOnly };

struct CaseRun {
    char16_t upperFirst;
    char16_t upperLast;
    int32_t toLower; // lower = upper + toLower
    uint8_t step;
    Direction direction;
};

constexpr CaseRun Run(char16_t first, char16_t last, int32_t toLower)
{
    return {first, last, toLower, 1, Direction::Both};
}
constexpr CaseRun Pairs(char16_t firstUpper, char16_t lastUpper)
{
    return {firstUpper, lastUpper, 1, 2, Direction::Both};
}
constexpr CaseRun One(char16_t upper, char16_t lower, Direction direction = Direction::Both)
{
    return {upper, upper, static_cast<int32_t>(lower) - static_cast<int32_t>(upper), 1, direction};
}

constexpr CaseRun kRuns[] = {
    // Latin-1
    Run(0x00C0, 0x00D6, 0x20),
    Run(0x00D8, 0x00DE, 0x20),
    One(0x0178, 0x00FF),
    One(0x039C, 0x00B5, Direction::ToUpperOnly), // micro sign
    // Latin Extended-A
    Pairs(0x0100, 0x012E),
    One(0x0130, 0x0069, Direction::ToLowerOnly), // capital I with dot
    One(0x0049, 0x0131, Direction::ToUpperOnly), // dotless i
    Pairs(0x0132, 0x0136),
    Pairs(0x0139, 0x0147),
    Pairs(0x014A, 0x0176),
    Pairs(0x0179, 0x017D),
    One(0x0053, 0x017F, Direction::ToUpperOnly), // long s
    // Greek
    Pairs(0x0370, 0x0372),
    One(0x0376, 0x0377),
    One(0x037F, 0x03F3),
    One(0x0386, 0x03AC),
    Run(0x0388, 0x038A, 0x25),
    One(0x038C, 0x03CC),
    Run(0x038E, 0x038F, 0x3F),
    Run(0x0391, 0x03A1, 0x20),
    Run(0x03A3, 0x03AB, 0x20),
    One(0x03A3, 0x03C2, Direction::ToUpperOnly), // final sigma
    One(0x03CF, 0x03D7),
    One(0x0392, 0x03D0, Direction::ToUpperOnly),
    One(0x0398, 0x03D1, Direction::ToUpperOnly),
    One(0x03A6, 0x03D5, Direction::ToUpperOnly),
    One(0x03A0, 0x03D6, Direction::ToUpperOnly),
    Pairs(0x03D8, 0x03EE),
    One(0x039A, 0x03F0, Direction::ToUpperOnly),
    One(0x03A1, 0x03F1, Direction::ToUpperOnly),
    One(0x03F4, 0x03B8, Direction::ToLowerOnly),
    One(0x0395, 0x03F5, Direction::ToUpperOnly),
    One(0x03F7, 0x03F8),
    One(0x03F9, 0x03F2),
    One(0x03FA, 0x03FB),
    Run(0x03FD, 0x03FF, -0x82),
    // Cyrillic and Cyrillic Supplement
    Run(0x0400, 0x040F, 0x50),
    Run(0x0410, 0x042F, 0x20),
    Pairs(0x0460, 0x0480),
    Pairs(0x048A, 0x04BE),
    One(0x04C0, 0x04CF),
    Pairs(0x04C1, 0x04CD),
    Pairs(0x04D0, 0x052E),
};

bool InRun(int32_t c, int32_t first, int32_t last, uint8_t step)
{
    return c >= first && c <= last && (c - first) % step == 0;
}

} // namespace

char16_t LowerCaseUnit(char16_t c)
{
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    for (const CaseRun& r : kRuns) {
        if (r.direction != Direction::ToUpperOnly && InRun(c, r.upperFirst, r.upperLast, r.step)) {
            return static_cast<char16_t>(c + r.toLower);
        }
    }
    return c;
}

char16_t UpperCaseUnit(char16_t c)
{
    if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    for (const CaseRun& r : kRuns) {
        if (r.direction != Direction::ToLowerOnly &&
            InRun(c, r.upperFirst + r.toLower, r.upperLast + r.toLower, r.step)) {
            return static_cast<char16_t>(c - r.toLower);
        }
    }
    return c;
}

std::u16string ToUpperCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out) c = UpperCaseUnit(c);
    return out;
}

std::u16string ToLowerCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out) c = LowerCaseUnit(c);
    return out;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && LowerCaseUnit(UpperCaseUnit(a[i])) != LowerCaseUnit(UpperCaseUnit(b[i]))) return false;
    }
    return true;
}

} // namespace vellum
