// Encrypt and Decrypt: known answers computed apart from this program (RC4
// over the UTF-16LE text, keyed by the first five bytes of the MD5 of the
// UTF-16LE password and eleven zero bytes), enciphered and deciphered.
#include "system_harness.h"

namespace vellum::test {

namespace {

class CryptoTest : public SystemHarness {
protected:
    // Runs Encrypt or Decrypt on texts that may hold any unit, zero included.
    std::u16string Apply(std::u16string_view function, std::u16string_view text, std::u16string_view password)
    {
        ip->SetGlobal(u"text", ip->MakeString(text));
        ip->SetGlobal(u"password", ip->MakeString(password));
        ip->RunSource(u"result = " + std::u16string(function) + u"(text, password)");
        EXPECT_FALSE(ip->ErrorPending());
        const Value result = ip->GetGlobal(u"result");
        if (!result.IsStr()) {
            ADD_FAILURE() << "no string";
            return {};
        }
        return result.str->Utf16();
    }
};

TEST_F(CryptoTest, MatchesKnownAnswers)
{
    struct Vector {
        std::u16string text, password, enciphered;
    };
    const Vector vectors[] = {
        {u"Hello, world", u"secret",
         {0x8ED4, 0x2364, 0xF714, 0xDC39, 0xC8EA, 0x09E5, 0x136E, 0xBF03, 0x8C46, 0x0A66, 0x690F, 0x0D37}},
        // The empty password hashes zero bytes.
        {u"abc", u"", {0x9563, 0x2218, 0xA66F}},
        {u"Gr\u00fc\u00dfe \u20ac", u"p\u00e4ssw\u00f6rd", {0x8CD6, 0x1AFB, 0xC360, 0x588D, 0x2CDD, 0x7BB3, 0x8D7B}},
        // An enciphered text with a zero unit inside keeps its whole length.
        {u"Zero", u"pw16174", {0x79FF, 0x433E, 0x0000, 0x9BE7}},
    };
    for (const Vector& v : vectors) {
        EXPECT_EQ(Apply(u"Encrypt", v.text, v.password), v.enciphered) << ToUtf8(v.text);
        EXPECT_EQ(Apply(u"Decrypt", v.enciphered, v.password), v.text) << ToUtf8(v.text);
    }
}

} // namespace
} // namespace vellum::test
