#include "system/shell/command_line.h"

namespace vellum::system {

std::vector<std::u16string> SplitCommandLine(std::u16string_view line)
{
    std::vector<std::u16string> arguments;
    std::u16string current;
    bool inArgument = false;
    bool quoted = false;
    size_t i = 0;
    while (i < line.size()) {
        const char16_t c = line[i];
        if ((c == u' ' || c == u'\t') && !quoted) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            size_t count = 0;
            while (i < line.size() && line[i] == u'\\') ++count, ++i;
            if (i < line.size() && line[i] == u'"') {
                current.append(count / 2, u'\\');
                if (count % 2 == 1) {
                    current += u'"';
                    ++i;
                }
            } else {
                current.append(count, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                current += u'"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

} // namespace vellum::system
