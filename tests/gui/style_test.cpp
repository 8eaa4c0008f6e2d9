// Reading styles: colours, lengths and pixel texts, fonts; and the line
// breaker of multi-line texts.
#include "gui/gui_harness.h"
#include "gui/style/color.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/text_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vellum::test {
namespace {

using gui::Style;
using platform::Rgb;

class StyleTest : public ::testing::Test {
protected:
    void SetUp() override { h.Ok("var gView = null var result = null"); }

    // A rectangle view with the given style table source, under a form of that dpi.
    gui::View& ViewWith(const std::string& style, int32_t dpi = 96)
    {
        h.Ok("gView = TRectangle({style = " + style + "})");
        gui::View* view = h.Build(u"gView", {0, 0, 99, 49}, dpi);
        EXPECT_NE(view, nullptr);
        return *view;
    }

    // The value of a script expression, kept in the global "result".
    Value Eval(const std::string& expression)
    {
        h.Ok("result = " + expression);
        return h.ip.GetGlobal(u"result");
    }

    GuiHarness h;
};

TEST_F(StyleTest, ColoursAreNamesOrArrays)
{
    // Names match exactly; in arrays missing elements are 0, extra ones are
    // ignored and channels keep their low 8 bits.
    const std::pair<const char*, std::optional<platform::Color>> colours[] = {
        {"'aqua'", Rgb(0, 255, 255)}, {"'olive'", Rgb(128, 128, 0)}, {"'silver'", Rgb(192, 192, 192)},
        {"'Red'", std::nullopt},      {"'red '", std::nullopt},      {"{255}", Rgb(255, 0, 0)},
        {"{0, 0, 255, 9}", Rgb(0, 0, 255)}, {"{257.9, -1, 'x'}", Rgb(1, 255, 0)},
        {"255", std::nullopt},        {"null", std::nullopt},
    };
    for (const auto& [source, colour] : colours) EXPECT_EQ(gui::ParseColor(Eval(source)), colour) << source;

    // A "fill" that is no colour still makes the view filled, in black; without a style table every
    // property has its default.
    const std::tuple<const char*, bool, platform::Color> styles[] = {
        {"{fill = 'Red', color = {10, 20, 30}}", true, Rgb(10, 20, 30)}, {"{color = 'Blue'}", false, Rgb(0, 0, 0)},
        {"'red'", false, Rgb(0, 0, 0)}};
    for (const auto& [source, filled, colour] : styles) {
        const Style style(ViewWith(source));
        EXPECT_EQ(gui::HasFill(style), filled) << source;
        if (filled) {
            EXPECT_EQ(gui::StyleFill(style), Rgb(0, 0, 0));
        }
        EXPECT_EQ(gui::StyleColor(style), colour) << source;
        EXPECT_EQ(style.Table() == nullptr, source[0] == '\'') << source;
        EXPECT_FALSE(gui::StyleStroke(style).on) << source;
    }
}

TEST_F(StyleTest, LengthsAndPixelTexts)
{
    // 19 characters at most; a long number saturates.
    const std::pair<const char*, std::optional<int32_t>> texts[] = {
        {"'12px'", 12}, {"'  -3px'", -3}, {"'+7px'", 7}, {"'1px'", 1}, {"'0px'", std::nullopt},
        {"'-0px'", std::nullopt}, {"'px'", std::nullopt}, {"' px'", std::nullopt}, {"'12'", std::nullopt},
        {"'12PX'", std::nullopt}, {"'1 2px'", std::nullopt}, {"'12px '", std::nullopt},
        {"'99999999999999999px'", INT32_MAX}, {"'999999999999999999px'", std::nullopt}, {"12", std::nullopt},
    };
    for (const auto& [text, pixels] : texts) EXPECT_EQ(gui::PixelText(Eval(text)), pixels) << text;

    // At 192 x 144 dpi; absurd lengths are held far out, without wrapping around.
    h.Ok("gView = TRectangle({style = {}})");
    gui::View& view = *h.Build(u"gView", {0, 0, 99, 49}, 192, 144);
    const std::tuple<const char*, bool, std::optional<int32_t>> lengths[] = {
        {"10.9", false, 20}, {"10.9", true, 15}, {"-3", false, -6}, {"'7px'", false, 7},
        {"'7'", false, std::nullopt}, {"true", false, std::nullopt}, {"1e12", false, gui::kLargestLength},
        {"-1e12", true, -gui::kLargestLength}, {"'2000000000px'", true, gui::kLargestLength},
    };
    for (const auto& [length, vertical, pixels] : lengths) {
        EXPECT_EQ(gui::LengthInPixels(view, Eval(length), vertical), pixels) << length;
    }
}

TEST_F(StyleTest, FontRecord)
{
    // Each style at its dpi, and the face, size, weight, italic and underline it asks for.
    const std::tuple<const char*, int32_t, gui::FontRecord> cases[] = {
        {"{}", 96, {u"Arial", 0, 400, false, false}},
        // 200 DIP is beyond 100 pixels: the size stays automatic.
        {"{fontSize = 200, fontWeight = 'bold', fontStyle = 'italic underline'}", 96, {u"Arial", 0, 600, false, false}},
        {"{fontSize = '200px', fontWeight = 'bolder', fontStyle = 'italic', fontFamily = 'Liberation Mono'}", 96,
         {u"Liberation Mono", 200, 700, true, false}},
        // 50 DIP at 192 dpi is 100 pixels, the largest used.
        {"{fontSize = 50, fontWeight = 'lighter', fontStyle = 'underline'}", 192, {u"Arial", 100, 300, false, true}},
        {"{fontSize = 50.9, fontWeight = 950, fontFamily = 7}", 96, {u"Arial", 50, 400, false, false}},
        {"{fontSize = 0.5, fontWeight = 650.5}", 96, {u"Arial", 0, 650, false, false}},
        {"{fontWeight = 'Bold', fontStyle = 'Italic'}", 96, {u"Arial", 0, 400, false, false}},
    };
    for (const auto& [style, dpi, expected] : cases) {
        const gui::FontRecord font = gui::StyleFont(Style(ViewWith(style, dpi)));
        EXPECT_EQ(std::tie(font.face, font.size, font.weight, font.italic, font.underline),
                  std::tie(expected.face, expected.size, expected.weight, expected.italic, expected.underline))
            << style;
        // The platform font has the record's face, and its size as cell height: 15 pixels when automatic.
        const platform::FontChoice choice = font.Choice();
        const int32_t height = expected.size > 0 ? expected.size : 15;
        EXPECT_EQ(std::pair(choice.height, choice.face), std::pair(height, expected.face)) << style;
    }
}

// The line breaker, measured with a fixed-pitch face so that widths are
// multiples of one character.
class TextLinesTest : public ::testing::Test {
protected:
    // The width of so many characters of the face.
    int32_t Width(int32_t characters) { return platform::TextExtent(font, std::u16string(characters, u'x')).width; }

    std::vector<std::u16string> Break(std::u16string_view text, int32_t characters)
    {
        std::vector<std::u16string> out;
        gui::TextLines lines(text, font, Width(characters));
        while (const auto line = lines.Next()) {
            EXPECT_EQ(line->size.width, platform::TextExtent(font, line->text).width);
            EXPECT_EQ(line->size.height, platform::TextExtent(font, u"A").height);
            out.emplace_back(line->text);
        }
        EXPECT_EQ(gui::TextLines::Count(text, font, Width(characters)), static_cast<int32_t>(out.size()));
        return out;
    }

    using Lines = std::vector<std::u16string>;
    const platform::FontChoice font{u"Liberation Mono", 20};
};

TEST_F(TextLinesTest, BreaksBlanksAndWordsOfAtMost254Characters)
{
    // CR LF and LF CR are one break each; CR CR and LF LF two.
    EXPECT_EQ(Break(u"ab\r\ncd\n\ref", 20), (Lines{u"ab", u"cd", u"ef"}));
    EXPECT_EQ(Break(u"ab\r\rcd\n\nef", 20), (Lines{u"ab", u"", u"cd", u"", u"ef"}));
    EXPECT_EQ(Break(u"\nab", 20), (Lines{u"", u"ab"}));
    // Breaks at the end make no empty last line.
    EXPECT_EQ(Break(u"ab\r\n", 20), (Lines{u"ab"}));
    EXPECT_EQ(Break(u"ab\n\n", 20), (Lines{u"ab"}));
    EXPECT_EQ(Break(u"ab\n   ", 20), (Lines{u"ab"}));
    // Leading blanks stay on the first line only; blanks between words stay.
    EXPECT_EQ(Break(u"  ab  cd\n   ef  gh", 20), (Lines{u"  ab  cd", u"ef  gh"}));
    EXPECT_EQ(Break(u"  ab   cd", 5), (Lines{u"  ab", u"cd"}));
    EXPECT_EQ(Break(u"   ", 20), (Lines{u"   "}));

    // A word holds at most 254 characters.
    const std::u16string longRun(300, u'w');
    EXPECT_EQ(Break(longRun, 1000), (Lines{longRun}));
    const Lines narrow = Break(longRun, 10);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(narrow[0].size(), 254u);
    EXPECT_EQ(narrow[1].size(), 46u);
    // A line of nothing but blanks, far longer than a word, comes to an end.
    const Lines blanks = Break(u"a\n" + std::u16string(600, u' '), 10);
    ASSERT_FALSE(blanks.empty());
    EXPECT_LE(blanks.size(), 3u);
    EXPECT_EQ(blanks[0], u"a");
}

} // namespace
} // namespace vellum::test
