// Reading styles: colours, lengths and pixel texts, fonts; and the line
// breaker of multi-line texts.
#include "engine/core/unicode.h"
#include "gui/gui_harness.h"
#include "gui/style/color.h"
#include "gui/style/length.h"
#include "gui/style/style.h"
#include "gui/style/text_lines.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vellum::test {
namespace {

using gui::Style;
using platform::Rgb;

class StyleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(h.Run("var gView = null"), "errOK"); }

    // A rectangle view with the given style table source, under a form of that dpi.
    gui::View& ViewWith(const std::string& style, int32_t dpi = 96)
    {
        EXPECT_EQ(h.Run("gView = TRectangle({style = " + style + "})"), "errOK");
        gui::View* view = h.Build(u"gView", {0, 0, 99, 49}, dpi);
        EXPECT_NE(view, nullptr);
        return *view;
    }

    Value Eval(std::string_view source) { return h.ip.EvalSource(FromUtf8(source)); }

    GuiHarness h;
};

TEST_F(StyleTest, ColoursAreNamesOrArrays)
{
    EXPECT_EQ(gui::ParseColor(h.ip.MakeString(u"aqua")), Rgb(0, 255, 255));
    EXPECT_EQ(gui::ParseColor(h.ip.MakeString(u"olive")), Rgb(128, 128, 0));
    EXPECT_EQ(gui::ParseColor(h.ip.MakeString(u"silver")), Rgb(192, 192, 192));
    // Names match exactly.
    EXPECT_EQ(gui::ParseColor(h.ip.MakeString(u"Red")), std::nullopt);
    EXPECT_EQ(gui::ParseColor(h.ip.MakeString(u"red ")), std::nullopt);
    // Arrays: missing elements are 0, extra ones ignored, channels keep their low 8 bits.
    EXPECT_EQ(gui::ParseColor(Eval("{255}")), Rgb(255, 0, 0));
    EXPECT_EQ(gui::ParseColor(Eval("{0, 0, 255, 9}")), Rgb(0, 0, 255));
    EXPECT_EQ(gui::ParseColor(Eval("{257.9, -1, 'x'}")), Rgb(1, 255, 0));
    EXPECT_EQ(gui::ParseColor(Value::Number(255)), std::nullopt);
    EXPECT_EQ(gui::ParseColor(Value::Null()), std::nullopt);

    // A "fill" that is no colour still makes the view filled, in black.
    {
        const Style style(ViewWith("{fill = 'Red', color = {10, 20, 30}}"));
        EXPECT_TRUE(gui::HasFill(style));
        EXPECT_EQ(gui::StyleFill(style), Rgb(0, 0, 0));
        EXPECT_EQ(gui::StyleColor(style), Rgb(10, 20, 30));
    }
    {
        const Style style(ViewWith("{color = 'Blue'}"));
        EXPECT_FALSE(gui::HasFill(style));
        EXPECT_EQ(gui::StyleColor(style), Rgb(0, 0, 0));
    }
    // Without a style table every property has its default.
    ASSERT_EQ(h.Run("gView = TRectangle({style = 'red'})"), "errOK");
    const Style none(*h.Build(u"gView", {0, 0, 9, 9}));
    EXPECT_EQ(none.Table(), nullptr);
    EXPECT_FALSE(gui::HasFill(none));
    EXPECT_FALSE(gui::StyleStroke(none).on);
}

TEST_F(StyleTest, LengthsAndPixelTexts)
{
    const auto pixels = [&](std::u16string_view text) { return gui::PixelText(h.ip.MakeString(text)); };
    EXPECT_EQ(pixels(u"12px"), 12);
    EXPECT_EQ(pixels(u"  -3px"), -3);
    EXPECT_EQ(pixels(u"+7px"), 7);
    EXPECT_EQ(pixels(u"1px"), 1);
    EXPECT_EQ(pixels(u"0px"), std::nullopt);
    EXPECT_EQ(pixels(u"-0px"), std::nullopt);
    EXPECT_EQ(pixels(u"px"), std::nullopt);
    EXPECT_EQ(pixels(u" px"), std::nullopt);
    EXPECT_EQ(pixels(u"12"), std::nullopt);
    EXPECT_EQ(pixels(u"12PX"), std::nullopt);
    EXPECT_EQ(pixels(u"1 2px"), std::nullopt);
    EXPECT_EQ(pixels(u"12px "), std::nullopt);
    // 19 characters at most; a long number saturates.
    EXPECT_EQ(pixels(u"99999999999999999px"), INT32_MAX);
    EXPECT_EQ(pixels(u"999999999999999999px"), std::nullopt);
    EXPECT_EQ(gui::PixelText(Value::Number(12)), std::nullopt);

    ASSERT_EQ(h.Run("gView = TRectangle({style = {}})"), "errOK");
    gui::View& view = *h.Build(u"gView", {0, 0, 99, 49}, 192, 144);
    EXPECT_EQ(gui::LengthInPixels(view, Value::Number(10.9), false), 20);
    EXPECT_EQ(gui::LengthInPixels(view, Value::Number(10.9), true), 15);
    EXPECT_EQ(gui::LengthInPixels(view, Value::Number(-3), false), -6);
    EXPECT_EQ(gui::LengthInPixels(view, h.ip.MakeString(u"7px"), false), 7);
    EXPECT_EQ(gui::LengthInPixels(view, h.ip.MakeString(u"7"), false), std::nullopt);
    EXPECT_EQ(gui::LengthInPixels(view, Value::Bool(true), false), std::nullopt);
    // Absurd lengths are held far out, without wrapping around.
    EXPECT_EQ(gui::LengthInPixels(view, Value::Number(1e12), false), gui::kLargestLength);
    EXPECT_EQ(gui::LengthInPixels(view, Value::Number(-1e12), true), -gui::kLargestLength);
    EXPECT_EQ(gui::LengthInPixels(view, h.ip.MakeString(u"2000000000px"), true), gui::kLargestLength);
}

TEST_F(StyleTest, FontRecord)
{
    const gui::FontRecord plain = gui::StyleFont(Style(ViewWith("{}")));
    EXPECT_EQ(plain.face, u"Arial");
    EXPECT_EQ(plain.Choice().height, 15);
    EXPECT_EQ(plain.Choice().face, u"Arial");

    struct Case {
        const char* style;
        int32_t dpi;
        int32_t size;
        int32_t weight;
        bool italic;
        bool underline;
        std::u16string_view face;
    };
    const Case cases[] = {
        {"{}", 96, 0, 400, false, false, u"Arial"},
        // 200 DIP is beyond 100 pixels: the size stays automatic.
        {"{fontSize = 200, fontWeight = 'bold', fontStyle = 'italic underline'}", 96, 0, 600, false, false, u"Arial"},
        {"{fontSize = '200px', fontWeight = 'bolder', fontStyle = 'italic', fontFamily = 'Liberation Mono'}", 96, 200,
         700, true, false, u"Liberation Mono"},
        // 50 DIP at 192 dpi is 100 pixels, the largest used.
        {"{fontSize = 50, fontWeight = 'lighter', fontStyle = 'underline'}", 192, 100, 300, false, true, u"Arial"},
        {"{fontSize = 50.9, fontWeight = 950, fontFamily = 7}", 96, 50, 400, false, false, u"Arial"},
        {"{fontSize = 0.5, fontWeight = 650.5}", 96, 0, 650, false, false, u"Arial"},
        {"{fontWeight = 'Bold', fontStyle = 'Italic'}", 96, 0, 400, false, false, u"Arial"},
    };
    for (const Case& c : cases) {
        const gui::FontRecord font = gui::StyleFont(Style(ViewWith(c.style, c.dpi)));
        EXPECT_EQ(font.size, c.size) << c.style;
        EXPECT_EQ(font.weight, c.weight) << c.style;
        EXPECT_EQ(font.italic, c.italic) << c.style;
        EXPECT_EQ(font.underline, c.underline) << c.style;
        EXPECT_EQ(font.face, c.face) << c.style;
        if (c.size > 0) {
            EXPECT_EQ(font.Choice().height, c.size) << c.style;
        }
    }
}

// The line breaker, measured with a fixed-pitch face so that widths are
// multiples of one character.
class TextLinesTest : public ::testing::Test {
protected:
    TextLinesTest()
    {
        font.face = u"Liberation Mono";
        font.height = 20;
    }

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
    platform::FontChoice font;
};

TEST_F(TextLinesTest, BreaksAndBlanks)
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
}

TEST_F(TextLinesTest, WordsHoldAtMost254Characters)
{
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
