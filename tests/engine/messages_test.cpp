// Tests of the error state and its messages: first error wins, formatting.
// The locales script checks that arguments and messages are cut, the
// startup_reading script how places count lines.
#include "engine/vm/error_reporter.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(Messages, TheFirstErrorWinsAndTemplatesTakeTheArgumentsInOrder)
{
    EXPECT_EQ(FormatTemplate(u"a %s b %s c", u"x", u"y", 100), u"a x b y c");
    EXPECT_EQ(FormatTemplate(u"a %s b %s c %s", u"x", u"", 100), u"a x b  c ");
    EXPECT_EQ(FormatTemplate(u"100%% %s", u"", u"", 100), u"100% ");
    EXPECT_EQ(FormatTemplate(u"trailing %", u"x", u"", 100), u"trailing %");
    EXPECT_EQ(FormatTemplate(u"%s%s", u"abc", u"def", 4), u"abcd");

    ScriptHarness h;
    Interpreter& ip = h.ip;
    // The first error wins, with its place.
    ip.RaiseError(errFileNotFound, u"a.txt");
    ip.RaiseErrorAt(errIndexingNonTable2, {7, 0}, u"x", u"y");
    EXPECT_EQ(U8(ip.FormatError()), "File not found a.txt");
    EXPECT_EQ(ip.ErrorPosition(), -1);
    ip.ClearError();
    EXPECT_TRUE(ip.ErrorArg1().empty());
    ip.RaiseErrorAt(errIndexingNonTable2, {7, 0}, u"x", u"y");
    EXPECT_EQ(ip.ErrorPosition(), 7);
    ip.ClearError();
    EXPECT_EQ(ip.ErrorPosition(), -1);
    // With only the second argument given both are used; with none, "%s" is empty.
    ip.RaiseError(errIndexingNonTable2, u"", u"k");
    EXPECT_EQ(U8(ip.FormatError()), "Trying to index non-table value ([k])");
    ip.ClearError();
    ip.RaiseError(errFileNotFound);
    EXPECT_EQ(U8(ip.FormatError()), "File not found ");
    ip.ClearError();
    // An identifier without a message shows itself.
    ip.RaiseError(u"errNobodyKnows");
    EXPECT_EQ(U8(ip.FormatError()), "errNobodyKnows");
    ip.ClearError();
    EXPECT_EQ(U8(ip.FormatError()), "OK");
}

} // namespace
} // namespace vellum::test
