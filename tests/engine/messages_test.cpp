// Tests of the error state and its messages: first error wins, argument
// limits, formatting, places in the text.
#include "engine/vm/error_reporter.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(Messages, FirstErrorWinsAndArgumentsAreCut)
{
    ScriptHarness h;
    Interpreter& ip = h.ip;
    ip.RaiseError(errFileNotFound, u"a.txt");
    ip.RaiseErrorAt(errIndexingNonTable2, {7, 0}, u"x", u"y");
    EXPECT_EQ(ip.ErrorIdentifier(), errFileNotFound);
    EXPECT_EQ(U8(ip.FormatError()), "File not found a.txt");
    EXPECT_EQ(ip.ErrorPosition(), -1);
    ip.ClearError();
    EXPECT_FALSE(ip.ErrorPending());
    EXPECT_TRUE(ip.ErrorArg1().empty());

    ip.RaiseErrorAt(errIndexingNonTable2, {7, 0}, std::u16string(600, u'a'), std::u16string(511, u'b'));
    EXPECT_EQ(ip.ErrorArg1().size(), 511u);
    EXPECT_EQ(ip.ErrorArg2().size(), 511u);
    EXPECT_EQ(ip.ErrorPosition(), 7);
    ip.ClearError();
    EXPECT_EQ(ip.ErrorPosition(), -1);
    // Names in messages are cut the same way.
    const Outcome long_name = h.Run("x" + std::string(600, 'y') + " = 1");
    EXPECT_EQ(long_name.message, "Undeclared identifier \"x" + std::string(510, 'y') + "\"");

    // The formatted message is cut at 1535 units.
    ip.Messages().SetMessage(u"en", u"errLong", std::u16string(2000, u'm'));
    ip.RaiseError(u"errLong");
    EXPECT_EQ(ip.FormatError().size(), 1535u);
    ip.ClearError();
}

TEST(Messages, TemplatesTakeTheArgumentsInOrder)
{
    EXPECT_EQ(FormatTemplate(u"a %s b %s c", u"x", u"y", 100), u"a x b y c");
    EXPECT_EQ(FormatTemplate(u"a %s b %s c %s", u"x", u"", 100), u"a x b  c ");
    EXPECT_EQ(FormatTemplate(u"100%% %s", u"", u"", 100), u"100% ");
    EXPECT_EQ(FormatTemplate(u"trailing %", u"x", u"", 100), u"trailing %");
    EXPECT_EQ(FormatTemplate(u"%s%s", u"abc", u"def", 4), u"abcd");

    ScriptHarness h;
    Interpreter& ip = h.ip;
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

TEST(Messages, PlacesAreLocatedByLineAndColumn)
{
    // LF, CR LF and CR each end a line; CR LF counts once.
    const std::u16string text = u"ab\ncd\r\nef\rgh";
    const struct {
        int32_t offset, line, column;
    } cases[] = {{0, 1, 1}, {1, 1, 2}, {4, 2, 2}, {7, 3, 1}, {10, 4, 1}, {11, 4, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(LocateInText(text, c.offset).line, c.line) << c.offset;
        EXPECT_EQ(LocateInText(text, c.offset).column, c.column) << c.offset;
    }
}

} // namespace
} // namespace vellum::test
