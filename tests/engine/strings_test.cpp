// Tests of the two forms a string is stored in: Latin-1 texts one byte per
// unit, all others UTF-16, with scripts and natives unable to tell them apart.
#include "script_harness.h"

#include <gtest/gtest.h>

namespace vellum::test {
namespace {

TEST(Strings, NarrowAndWideFormsBehaveAsOneText)
{
    ScriptHarness h;
    Interpreter& ip = h.ip;
    const char8_t latin1[] = {u8'c', u8'a', u8'f', 0xE9};
    StringObject* narrow = ip.Intern(Latin1View(latin1, 4));
    StringObject* wide = ip.Intern(u"caf\u00E9\u0100");
    EXPECT_TRUE(narrow->IsNarrow());
    EXPECT_FALSE(wide->IsNarrow());
    // Interning either form of a text finds the one string, whose hash is the
    // documented hash of its UTF-16 units.
    EXPECT_EQ(ip.Intern(u"caf\u00E9"), narrow);
    EXPECT_EQ(narrow->Hash(), DocumentedHash(u"caf\u00E9"));
    EXPECT_EQ(StringObject::HashOf(Latin1View(latin1, 4)), StringObject::HashOf(u"caf\u00E9"));
    EXPECT_EQ(wide->Hash(), DocumentedHash(u"caf\u00E9\u0100"));
    EXPECT_EQ(narrow->At(3), u'\u00E9');
    EXPECT_EQ(wide->At(4), u'\u0100');

    // Order goes by UTF-16 units across forms: a prefix first, 0xFF before 0x100.
    EXPECT_EQ(narrow->Compare(*wide), -1);
    EXPECT_EQ(wide->Compare(*narrow), 1);
    EXPECT_EQ(ip.Intern(u"\u00FF")->Compare(*ip.Intern(u"\u0100")), -1);
    EXPECT_EQ(ip.Intern(u"b")->Compare(*ip.Intern(u"a\u0100")), 1);

    // Narrow pieces and numbers concatenate narrow; one wide piece makes the
    // result wide; either way the result is the interned text.
    StringObject* joined = ip.Concatenate(Value::String(narrow), Value::Number(-1.5));
    EXPECT_TRUE(joined->IsNarrow());
    EXPECT_EQ(joined, ip.Intern(u"caf\u00E9-1.500000"));
    EXPECT_EQ(ip.Concatenate(Value::String(narrow), Value::String(ip.Intern(u"\u0100"))), wide);

    // A native that needs UTF-16 gets the same units from either form.
    const WideText widened(narrow);
    EXPECT_EQ(widened.View(), u"caf\u00E9");
    const WideText viewed(wide);
    EXPECT_EQ(viewed.View(), u"caf\u00E9\u0100");
    EXPECT_TRUE(narrow->Equals(u"caf\u00E9"));
    EXPECT_FALSE(narrow->Equals(u"caf\u00E9\u0100"));

    // Scripts see one text: keys made in either form find each other, and
    // comparisons mix the forms.
    EXPECT_EQ(h.Output("var t = {} t['caf' & '\u00E9'] = 1 t['caf\u00E9' & '\u0100'] = 2 "
                       "Print(t['caf\u00E9'] & t['caf\u00E9\u0100'] & ('\u00FF' < '\u0100') "
                       "& ('caf\u00E9' < 'caf\u00E9\u0100'))"),
              "12truetrue\n");
}

} // namespace
} // namespace vellum::test
