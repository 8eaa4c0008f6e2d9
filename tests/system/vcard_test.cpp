// The vCard reader over the forms address books and phones write: the
// three versions, folding, encodings, character sets, and broken input.
#include "system/contacts/vcard.h"

#include <gtest/gtest.h>

#include <string>

namespace vellum::contacts {
namespace {

using namespace std::literals;

std::vector<VCard> Parse(std::string_view text)
{
    return ParseVCards({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

TEST(VCardTest, ReadsNamesAndNumbersOfEveryVersion)
{
    const auto cards = Parse("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:M\xfcller;J\xfcrgen\r\n"
                             "TEL;WORK;FAX:+49 30 1234\r\nEND:VCARD\r\n"
                             "begin:vcard\nversion:3.0\nFN:Ann\\, Lee\\nJr\nTEL;TYPE=CELL;TYPE=pref:555\nEND:VCARD\n"
                             "BEGIN:VCARD\nVERSION:4.0\nFN:Bo\nTEL;VALUE=uri;TYPE=\"voice,home\":tel:+1-555-0100\n"
                             "TEL:\nEND:VCARD\n");
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].name, u"J\u00fcrgen M\u00fcller");
    ASSERT_EQ(cards[0].phones.size(), 1u);
    EXPECT_EQ(cards[0].phones[0].number, u"+49 30 1234");
    EXPECT_EQ(cards[0].phones[0].types, (std::vector<std::u16string>{u"work", u"fax"}));
    EXPECT_EQ(cards[1].name, u"Ann, Lee\nJr");
    EXPECT_EQ(cards[1].phones[0].types, (std::vector<std::u16string>{u"cell", u"pref"}));
    EXPECT_EQ(cards[2].phones.size(), 1u); // an empty number is no number
    EXPECT_EQ(cards[2].phones[0].number, u"+1-555-0100");
    EXPECT_EQ(cards[2].phones[0].types, (std::vector<std::u16string>{u"voice", u"home"}));
}

TEST(VCardTest, UndoesFoldingAndTransferEncodings)
{
    const auto cards = Parse("BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Jos=C3=A9 =\n"
                             "Mart=C3=ADn\nNOTE:a\n  folded note\nTEL;X-CUSTOM=\"a:b\":12\n 34\n"
                             "PHOTO;ENCODING=b;TYPE=JPEG:AAEC\n A/8=\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Uri\nPHOTO:data:image/png;base64,SGk=\nUID:abc\nEND:VCARD\n");
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].name, u"Jos\u00e9 Mart\u00edn");
    EXPECT_EQ(cards[0].phones[0].number, u"1234");
    EXPECT_EQ(cards[0].photo, (std::vector<uint8_t>{0x00, 0x01, 0x02, 0x03, 0xFF}));
    EXPECT_EQ(cards[1].photo, (std::vector<uint8_t>{'H', 'i'}));
    EXPECT_EQ(cards[1].uid, u"abc");
}

TEST(VCardTest, SkipsWhatIsBrokenAndKeepsTheRest)
{
    // A card without END, lines without a colon, bad base64, a stray END,
    // a photo given as a link, bytes that are no text.
    const auto cards = Parse("END:VCARD\nBEGIN:VCARD\nFN:Lost\nBEGIN:VCARD\nFN:Kept\ngarbage line\n"
                             "PHOTO;ENCODING=BASE64:!!!\nEND:VCARD\n"
                             "BEGIN:VCARD\nFN:Linked\nPHOTO;VALUE=uri:http://example.org/a.jpg\nEND:VCARD\n"
                             "\xff\xfe\x00\x01" "BEGIN:VCARD\nFN:Open"sv);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].name, u"Kept");
    EXPECT_TRUE(cards[0].photo.empty());
    EXPECT_EQ(cards[1].name, u"Linked");
    EXPECT_TRUE(cards[1].photo.empty());
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse(std::string(1000, '=')).empty());
}

} // namespace
} // namespace vellum::contacts
