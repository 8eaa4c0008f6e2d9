// Reading vCard files (versions 2.1, 3.0 and 4.0): the name, the phone
// numbers with their types and an inline photo of each contact, which is
// all the contact chooser and contact pictures need. Folded lines,
// quoted-printable and base64 values, text escapes, 8-bit character sets
// and data URIs are understood; several contacts may share a file. A card
// that does not end, or whose values cannot be read, is left out; nothing
// in a file can make the reader fail as a whole.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vellum::contacts {

struct Phone {
    std::u16string number;
    // The TYPE words as written, in lower case ("cell", "work", "voice").
    std::vector<std::u16string> types;
};

struct VCard {
    // FN, or the parts of N when there is no FN.
    std::u16string name;
    std::u16string uid;
    std::vector<Phone> phones;
    // The photo's encoded bytes (JPEG, PNG, GIF, ...); empty without one.
    std::vector<uint8_t> photo;
};

std::vector<VCard> ParseVCards(std::span<const uint8_t> bytes);

} // namespace vellum::contacts
