// The device's contacts: the vCard files (".vcf", ".vcard") of a folder,
// \Contacts in the device folder. Every contact gets an identifier that
// stays the same across runs while its file does: taken from the card's
// UID when it has one, else from the file's name and the card's place in
// it. The files are read afresh on every call, so a contact added while
// the program runs is found at once.
#pragma once

#include "system/contacts/vcard.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace vellum::contacts {

struct Contact {
    int32_t id = 0; // positive
    VCard card;
};

// Every contact of the folder's files, files in the order of their names;
// none when the folder does not exist. Files too large to be contact
// files are passed over.
std::vector<Contact> LoadContacts(const std::filesystem::path& folder);

// The contact with that identifier.
std::optional<Contact> FindContact(const std::filesystem::path& folder, int32_t id);

} // namespace vellum::contacts
