#include "system/contacts/contact_store.h"

#include "engine/core/case_folding.h"
#include "engine/core/text_codec.h"

#include <algorithm>
#include <set>
#include <string>

namespace vellum::contacts {

namespace {

// A contact file is a few kilobytes, and a photo some tens more; a larger
// file is no contact file and is not read into memory.
constexpr uintmax_t kMaxFileBytes = 16 * 1024 * 1024;
constexpr int32_t kMaxId = 0x7FFFFFFF;

// FNV-1a over the text's units, folded into 1 .. 2^31 - 1.
int32_t IdOfText(std::u16string_view text)
{
    uint32_t hash = 2166136261u;
    for (char16_t unit : text) {
        hash = (hash ^ (unit & 0xFF)) * 16777619u;
        hash = (hash ^ (unit >> 8)) * 16777619u;
    }
    const auto id = static_cast<int32_t>(hash & kMaxId);
    return id == 0 ? 1 : id;
}

bool IsContactFile(const std::filesystem::directory_entry& entry)
{
    std::error_code ec;
    if (!entry.is_regular_file(ec)) return false;
    const std::u16string extension = entry.path().extension().u16string();
    return EqualsAsciiWord(extension, u".vcf") || EqualsAsciiWord(extension, u".vcard");
}

} // namespace

std::vector<Contact> LoadContacts(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (IsContactFile(*it) && it->file_size(ec) <= kMaxFileBytes && !ec) files.push_back(it->path());
        ec.clear();
    }
    std::sort(files.begin(), files.end());

    std::vector<Contact> contacts;
    std::set<int32_t> taken;
    for (const std::filesystem::path& file : files) {
        const auto bytes = ReadWholeFile(file);
        if (!bytes) continue;
        std::vector<VCard> cards = ParseVCards(*bytes);
        for (size_t i = 0; i < cards.size(); ++i) {
            const std::string place = std::to_string(i);
            const std::u16string key = !cards[i].uid.empty()
                                           ? u"uid:" + cards[i].uid
                                           : file.filename().u16string() + u"#" + std::u16string(place.begin(), place.end());
            int32_t id = IdOfText(key);
            // Two keys with one hash: the later contact takes the next free number.
            while (!taken.insert(id).second) id = id % kMaxId + 1;
            contacts.push_back({id, std::move(cards[i])});
        }
    }
    return contacts;
}

std::optional<Contact> FindContact(const std::filesystem::path& folder, int32_t id)
{
    for (Contact& contact : LoadContacts(folder)) {
        if (contact.id == id) return std::move(contact);
    }
    return std::nullopt;
}

} // namespace vellum::contacts
