#include "system/paths/wildcard.h"

#include "engine/core/case_folding.h"

#include <string>

namespace vellum::system {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }

// The length of the character at i: a surrogate pair is one character.
size_t CharacterLength(std::u16string_view text, size_t i)
{
    return IsHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// Greedy matching with one point to return to: the last "*" seen takes one
// more character each time the rest fails, so the work stays bounded by
// name length times mask length whatever the mask holds.
bool MatchFolded(std::u16string_view name, std::u16string_view mask)
{
    size_t n = 0, m = 0;
    size_t starMask = std::u16string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starMask = ++m;
            starName = n;
        } else if (m < mask.size() && mask[m] == u'?') {
            n += CharacterLength(name, n);
            ++m;
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++n;
            ++m;
        } else if (starMask != std::u16string_view::npos) {
            starName += CharacterLength(name, starName);
            n = starName;
            m = starMask;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') ++m;
    return m == mask.size();
}

} // namespace

bool MatchesMask(std::u16string_view name, std::u16string_view mask)
{
    const std::u16string foldedName = FoldCase(name);
    const std::u16string foldedMask = FoldCase(mask);
    if (MatchFolded(foldedName, foldedMask)) return true;
    const std::u16string_view anyExtension = u".*";
    return foldedName.find(u'.') == std::u16string::npos && foldedMask.ends_with(anyExtension) &&
           MatchFolded(foldedName, std::u16string_view(foldedMask).substr(0, foldedMask.size() - anyExtension.size()));
}

} // namespace vellum::system
