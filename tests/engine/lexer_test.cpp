// Tests of the lexer on its own: token codes and values for operators,
// literals, comments, numbers, words and characters the language lacks.
#include "engine/lexer/source_reader.h"
#include "engine/lexer/token.h"
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

using CodeList = std::vector<uint32_t>;

// Every token of a text up to the end: codes, and the values as text.
struct Lexed {
    CodeList codes;
    std::vector<std::string> values;
};

Lexed Lex(Interpreter& ip, std::u16string_view text)
{
    SourceReader reader(ip, text);
    Lexed out;
    do {
        reader.Next();
        out.codes.push_back(reader.Token());
        out.values.push_back(U8(ip.ToString(reader.TokenValue())->View()));
    } while (reader.Token() != token::End && out.codes.size() < 100);
    return out;
}

TEST(Lexer, OperatorsAndWords)
{
    ScriptHarness h;
    auto codes = [&](std::u16string_view text) { return Lex(h.ip, text).codes; };
    const uint32_t id = token::Identifier;
    EXPECT_EQ(codes(u"a<=b"), (CodeList{id, token::LessEqual, id, 0}));
    EXPECT_EQ(codes(u"a< =b"), (CodeList{id, '<', '=', id, 0}));
    EXPECT_EQ(codes(u"== != >= > = ! <"),
              (CodeList{token::Equal, token::NotEqual, token::GreaterEqual, '>', '=', '!', '<', 0}));
    EXPECT_EQ(codes(u"()*+,-./:[]{}&"),
              (CodeList{'(', ')', '*', '+', ',', '-', '.', '/', ':', '[', ']', '{', '}', '&', 0}));
    // Characters the language has no use for are one "unknown" token each.
    EXPECT_EQ(codes(u"_@;$"), (CodeList{token::Unknown, token::Unknown, token::Unknown, token::Unknown, 0}));
    EXPECT_EQ(codes(u"var if elseif else end while for in function return and or null true"),
              (CodeList{token::Var, token::If, token::ElseIf, token::Else, token::EndKeyword, token::While, token::For,
                        token::In, token::Function, token::Return, token::And, token::Or, token::Null,
                        token::Boolean, 0}));

    // Words are letters and digits; my_var ends in the keyword var.
    const Lexed words = Lex(h.ip, u"my_name x1y2 \u00E9t\u00E9 my_var true false");
    EXPECT_EQ(words.codes, (CodeList{id, token::Unknown, id, id, id, id, token::Unknown, token::Var, token::Boolean,
                                     token::Boolean, 0}));
    EXPECT_EQ(words.values[2] + words.values[3] + words.values[4] + words.values[8] + words.values[9],
              "namex1y2ététruefalse");
    // A word of 1024 units or more is an error, not an overrun.
    EXPECT_EQ(codes(std::u16string(1023, u'w'))[0], id);
    EXPECT_EQ(codes(std::u16string(1024, u'w'))[0], token::End);
    EXPECT_EQ(h.Take().error, "errUnexpectedIdentifier");
}

TEST(Lexer, NumbersTakeTheLongestPrefixWithoutSign)
{
    ScriptHarness h;
    const struct {
        std::u16string text;
        CodeList codes;
        std::string value;
    } cases[] = {
        {u"3.", {token::Number, 0}, "3"},           {u"3.0", {token::Number, 0}, "3"},
        {u"3e0", {token::Number, 0}, "3"},          {u"1.5e-3", {token::Number, 0}, "0.001500"},
        {u"2E+2", {token::Number, 0}, "200"},       {u"1.e2", {token::Number, 0}, "100"},
        {u"007", {token::Number, 0}, "7"},          {u"1e-400", {token::Number, 0}, "0"},
        {u"3e", {token::Number, token::Identifier, 0}, "3"},
        {u".5", {'.', token::Number, 0}, "null"},   {u"-5", {'-', token::Number, 0}, "null"},
    };
    for (const auto& c : cases) {
        const Lexed lexed = Lex(h.ip, c.text);
        EXPECT_EQ(lexed.codes, c.codes) << U8(c.text);
        EXPECT_EQ(lexed.values[0], c.value) << U8(c.text);
    }
    EXPECT_EQ(Lex(h.ip, u"x 1e999 y").codes, (CodeList{token::Identifier, 0}));
    const Outcome range = h.Take();
    EXPECT_EQ(range.error, "errNumberOutOfRange");
    EXPECT_EQ(range.position, 2);
    // Once an error is pending the lexer only gives the end.
    h.ip.RaiseError(errBoolExpected);
    EXPECT_EQ(Lex(h.ip, u"a b").codes, (CodeList{0}));
    h.ip.ClearError();
}

TEST(Lexer, StringsCommentsAndPositions)
{
    ScriptHarness h;
    const Lexed strings = Lex(h.ip, u"'say \"hi\"' \"it's\" \"two\nlines\" '' \"open");
    EXPECT_EQ(strings.codes, (CodeList{token::String, token::String, token::String, token::String, token::String, 0}));
    EXPECT_EQ(strings.values, (std::vector<std::string>{"say \"hi\"", "it's", "two\nlines", "", "open", "null"}));

    const CodeList one{token::Identifier, 0};
    EXPECT_EQ(Lex(h.ip, u"/*/ x").codes, one);
    EXPECT_EQ(Lex(h.ip, u"/* a * / b */ x /* never closed").codes, one);
    EXPECT_EQ(Lex(h.ip, u"# a b\r\nx #").codes, one);
    EXPECT_EQ(Lex(h.ip, u"\t\r\n\u3000 x").codes, one);
    EXPECT_EQ(Lex(h.ip, u"a / b").codes, (CodeList{token::Identifier, '/', token::Identifier, 0}));
    // A text ends at its first zero unit.
    EXPECT_EQ(Lex(h.ip, std::u16string_view(u"x\0y", 3)).codes, one);
    EXPECT_FALSE(h.ip.ErrorPending());

    SourceReader reader(h.ip, u"  alpha # c\n (beta");
    reader.Next();
    EXPECT_EQ(reader.TokenPosition(), 2);
    EXPECT_EQ(reader.Peek(), '(');
    EXPECT_EQ(reader.TokenPosition(), 13);
    reader.SwapWithPushedBack();
    EXPECT_EQ(reader.Token(), token::Identifier);
    EXPECT_EQ(reader.Next(), '(');
    reader.Next();
    reader.Expect(')', errClosingRoundExpected);
    const Outcome expected = h.Take();
    EXPECT_EQ(expected.error, "errClosingRoundExpected");
    EXPECT_EQ(expected.position, 14);
}

} // namespace
} // namespace vellum::test
