// The case rules: the scripts' own upper and lower case against the C
// library's Unicode tables, and the simple case folding names compare by.
#include "engine/core/case_folding.h"
#include "engine/core/case_mapping.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <string>

namespace vellum {
namespace {

TEST(CaseMapping, AgreesWithUnicodeSimpleCaseMappingInTheCoveredBlocks)
{
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale to compare with";
    for (char16_t c = 0; c <= 0x052F; ++c) {
        if (c >= 0x0180 && c < 0x0370) continue; // Latin Extended-B, IPA, modifiers, combining marks
        EXPECT_EQ(UpperCaseUnit(c), std::towupper(c)) << std::hex << int(c);
        EXPECT_EQ(LowerCaseUnit(c), std::towlower(c)) << std::hex << int(c);
    }
    std::setlocale(LC_CTYPE, previous.c_str());
    // Outside the table nothing changes.
    EXPECT_EQ(ToUpperCase(u"\u4E2D\u0250\U0001D400"), u"\u4E2D\u0250\U0001D400");
}

TEST(CaseFolding, FoldsEachCodePointOntoOne)
{
    EXPECT_EQ(FoldCase(u"ReadMe.TXT"), u"readme.txt");
    // Final and capital sigma meet the plain small sigma; the long s and the
    // Kelvin sign fold onto ASCII letters.
    EXPECT_EQ(FoldCase(u"\u03A3\u03C2\u03C3"), u"\u03C3\u03C3\u03C3");
    EXPECT_EQ(FoldCase(u"\u017F\u212A"), u"sk");
    // Capital I with dot has no one-to-one folding: it stays, and is not i.
    EXPECT_EQ(FoldCase(u"\u0130"), u"\u0130");
    // Fullwidth letters fold within their block; sharp s stays one unit.
    EXPECT_EQ(FoldCase(u"\uFF21\uFF3A\uFF41"), u"\uFF41\uFF5A\uFF41");
    EXPECT_EQ(FoldCase(u"\u1E9E\u00DF"), u"\u00DF\u00DF");
    // Alternating upper/lower pairs fold only their upper halves.
    EXPECT_EQ(FoldCase(u"\u0100\u0101\u0460\u0461"), u"\u0101\u0101\u0461\u0461");
    // A pair folds as the code point it makes (Deseret); a lone surrogate stays.
    EXPECT_EQ(FoldCase(u"\U00010400\U00010428"), u"\U00010428\U00010428");
    EXPECT_EQ(FoldCase(u"\xD801x\xDC00"), u"\xD801x\xDC00");
    // Unassigned, caseless and last code points are left alone.
    EXPECT_EQ(FoldCase(char32_t{0x4E2D}), char32_t{0x4E2D});
    EXPECT_EQ(FoldCase(char32_t{0x10FFFF}), char32_t{0x10FFFF});
    EXPECT_EQ(FoldCase(char32_t{0}), char32_t{0});
}

} // namespace
} // namespace vellum
