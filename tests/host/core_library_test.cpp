// Case mapping of the core library in the C locale, which a script run
// cannot choose.
#include "system/system_harness.h"

#include <gtest/gtest.h>

#include <clocale>

namespace vellum {
namespace {

// An interpreter with every library over a fresh device folder, in console mode.
using CoreLibrary = test::SystemHarness;

TEST_F(CoreLibrary, CaseMappingIsTheSameInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    EXPECT_EQ(Eval("'straße ÿ ŉ łódź ἀ ς αβγ ёжи'.Upper()"), "\"STRAßE Ÿ ŉ ŁÓDŹ ἀ Σ ΑΒΓ ЁЖИ\"");
    EXPECT_EQ(Eval("'ÀÉÎ İ ΣΑΣ ΆΏ ЁЖИ Ӂ'.Lower()"), "\"àéî i σασ άώ ёжи ӂ\"");
    // Upper makes a new string; the receiver keeps its text.
    EXPECT_EQ(Run("var s = 'abc'\nvar t = s.Upper()\nresult = s & t"), "\"abcABC\"");
    // Lookup folds variants onto their plain letters.
    EXPECT_EQ(Eval("Lookup({'x', 'ΟΔΟΣ'}, 'οδο\u03C2')"), "1"); // final sigma
    EXPECT_EQ(Eval("Lookup({'x', 'I'}, '\u0131')"), "1");          // dotless i
    EXPECT_EQ(Eval("Lookup({'ПРИВЕТ'}, 'привет')"), "0");
    EXPECT_EQ(Eval("Lookup({1, 'Straße'}, 'STRAßE')"), "1");
    EXPECT_EQ(Eval("Lookup({1, 2}, 'STRASSE')"), "null");
    // Values are compared by their text.
    EXPECT_EQ(Eval("Lookup({'a', 2.5, true}, 'TRUE')"), "2");
}

} // namespace
} // namespace vellum
