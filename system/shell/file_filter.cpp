#include "system/shell/file_filter.h"

namespace vellum::system {

namespace {

constexpr size_t kMaxFilter = 260;

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator)
{
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
        if (end == std::u16string_view::npos) return parts;
        start = end + 1;
    }
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<std::u16string> NameFilters(std::u16string_view filter)
{
    const std::vector<std::u16string_view> parts = Split(filter.substr(0, kMaxFilter), u'|');
    std::vector<std::u16string> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::u16string patterns;
        for (const std::u16string_view pattern : Split(parts[i + 1], u';')) {
            const std::u16string_view trimmed = Trim(pattern);
            if (trimmed.empty()) continue;
            if (!patterns.empty()) patterns += u' ';
            patterns += trimmed == u"*.*" ? u"*" : trimmed;
        }
        if (patterns.empty()) continue;
        const std::u16string_view description = Trim(parts[i]);
        filters.push_back(std::u16string(description.empty() ? std::u16string_view(patterns) : description) + u" (" +
                          patterns + u")");
    }
    return filters;
}

} // namespace vellum::system
