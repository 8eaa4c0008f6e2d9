// The script author's reference (docs/reference/*.md) must name everything
// a script can use: every global the program registers, every method and
// field of its classes and global tables, and the methods of strings. The
// matching rule is described for authors in docs/README.md.
#include "engine/core/unicode.h"
#include "engine/vm/interpreter_internal.h"
#include "gui/view/view_class.h"
#include "host/error_box.h"
#include "host/file_bytes.h"
#include "host/register_libraries.h"
#include "platform/files/device_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {
namespace {

namespace fs = std::filesystem;

// The Markdown of the reference, reduced to what the rule looks at: the
// names written in code spans and headings, and the section (a heading and
// everything below it up to the next heading of the same or a higher level)
// each of them stands in. Fenced code blocks do not count.
class Reference {
public:
    void Add(std::string_view markdown)
    {
        std::vector<size_t> open; // sections enclosing the current line, outermost first
        bool fenced = false;
        bool inSpan = false;
        std::string span;
        std::istringstream lines{std::string(markdown)};
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("```")) {
                fenced = !fenced;
                inSpan = false;
                continue;
            }
            if (fenced) continue;
            if (line.starts_with('#')) {
                const size_t level = line.find_first_not_of('#');
                while (!open.empty() && sections[open.back()].level >= level) open.pop_back();
                sections.push_back({level, Words(line), {}});
                open.push_back(sections.size() - 1);
                Mention(line, open);
                inSpan = false;
                continue;
            }
            // A code span may run on to the next line of its paragraph.
            for (const char c : line) {
                if (c == '`') {
                    if (inSpan) Mention(span, open);
                    span.clear();
                    inSpan = !inSpan;
                } else if (inSpan) {
                    span += c;
                }
            }
            if (inSpan) span += ' ';
            if (line.empty()) inSpan = false;
        }
    }

    bool Names(const std::string& name) const { return names.contains(name); }
    // Written with its arguments, as `Name(...)`: a function's own entry
    // rather than a mention in passing.
    bool NamesCall(const std::string& name) const { return calls.contains(name); }

    // owner.member written anywhere, or member written in a section whose
    // heading holds the words of owner (a class name, "String methods").
    bool NamesMember(const std::string& owner, const std::string& member) const
    {
        if (qualified.contains(owner + "." + member)) return true;
        const auto wanted = Words(owner);
        return std::ranges::any_of(sections, [&](const Section& s) {
            return s.names.contains(member) && !std::ranges::search(s.heading, wanted).empty();
        });
    }

private:
    struct Section {
        size_t level;
        std::vector<std::string> heading; // its words
        std::set<std::string> names;
    };

    static std::vector<std::string> Words(const std::string& text)
    {
        static const std::regex word(R"(\w+)");
        std::vector<std::string> words;
        for (std::sregex_iterator it(text.begin(), text.end(), word), end; it != end; ++it) words.push_back(it->str());
        return words;
    }

    void Mention(const std::string& text, const std::vector<size_t>& open)
    {
        for (const std::string& word : Words(text)) {
            names.insert(word);
            for (const size_t s : open) sections[s].names.insert(word);
        }
        // A name before "(" is a call; "a.b.c" names both a.b and b.c.
        static const std::regex call(R"((\w+)\()");
        static const std::regex member(R"((\w+)\.(?=(\w+)))");
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) calls.insert((*it)[1].str());
        for (std::sregex_iterator it(text.begin(), text.end(), member), end; it != end; ++it) {
            qualified.insert((*it)[1].str() + "." + (*it)[2].str());
        }
    }

    std::vector<Section> sections;
    std::set<std::string> names;
    std::set<std::string> qualified;
    std::set<std::string> calls;
};

Reference ReadReference()
{
    Reference reference;
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(fs::path(VELLUM_SOURCE_DIR) / "docs" / "reference")) {
        if (entry.path().extension() == ".md") pages.push_back(entry.path());
    }
    std::ranges::sort(pages);
    for (const fs::path& page : pages) reference.Add(test::ReadBytes(page));
    return reference;
}

// The string keys of a table with their values, sorted by key.
std::map<std::string, Value> Fields(TableObject* table)
{
    std::map<std::string, Value> fields;
    TableObject::HashCursor cursor;
    Value key;
    Value value;
    while (table->NextInHashOrder(cursor, key, value)) {
        if (key.IsStr()) fields.emplace(ToUtf8(key.str->Utf16()), value);
    }
    return fields;
}

bool SameFunction(const Value& a, const Value& b)
{
    return a.tag == Tag::FuncBin && b.tag == Tag::FuncBin && a.native == b.native;
}

// The heading under which the methods every view class shares are described once.
constexpr std::string_view kCommonViewMethods = "Methods every view has";

// Everything the program registers that the reference does not name, one
// line each.
std::vector<std::string> Undocumented(const Reference& reference)
{
    // The methods every view class gets, from a class made the same way.
    Interpreter probe;
    const auto viewMethods = Fields(gui::RegisterViewClass(probe, u"Probe", [](Interpreter&) -> uint32_t { return 0; }));
    // A member a view class shares with every other: the same method, or
    // the Create each view class has for its own kind of view.
    const auto isCommonViewMethod = [&](const std::string& member, const Value& value) {
        const auto common = viewMethods.find(member);
        return common != viewMethods.end() && (member == "Create" || SameFunction(value, common->second));
    };
    const auto isViewClass = [&](const std::map<std::string, Value>& fields) {
        return std::ranges::all_of(viewMethods, [&](const auto& method) {
            const auto own = fields.find(method.first);
            return own != fields.end() && (isCommonViewMethod(own->first, own->second) || method.first == "Default");
        });
    };

    const fs::path folder = fs::temp_directory_path();
    platform::DeviceFolder device(folder);
    ErrorBox box;
    const auto ip = NewInterpreter(device, &box);
    std::vector<std::string> missing;
    for (const auto& [name, value] : Fields(Internals(*ip).Globals())) {
        // The interpreter's own tables (the type prototypes, the message
        // tables) are no part of the library.
        if (name.starts_with("__")) continue;
        if (value.IsCallable() ? !reference.NamesCall(name) : !reference.Names(name)) {
            missing.push_back(value.IsCallable() ? "function `" + name + "(...)`" : "global `" + name + "`");
        }
        if (!value.IsTable()) continue;
        const auto fields = Fields(value.table);
        const bool view = isViewClass(fields);
        for (const auto& [member, memberValue] : fields) {
            // Calling a class runs its Default, which the class's own
            // section describes as the class call, e.g. `Track(file, pattern)`.
            if (member == "parent" || member == "Default") continue;
            if (view && isCommonViewMethod(member, memberValue)) {
                if (!reference.NamesMember(std::string(kCommonViewMethods), member)) {
                    missing.push_back("view method `" + member + "` under \"" + std::string(kCommonViewMethods) + "\"");
                }
                continue;
            }
            if (!reference.NamesMember(name, member)) missing.push_back("member `" + name + "." + member + "`");
        }
    }
    for (const auto& [method, function] : Fields(ip->TypePrototype(Tag::Str))) {
        if (!reference.NamesMember("String methods", method)) {
            missing.push_back("string method `" + method + "` under \"String methods\"");
        }
    }
    return missing;
}

TEST(ReferenceCompleteness, EveryRegisteredNameIsInTheReference)
{
    EXPECT_EQ(Undocumented(ReadReference()), std::vector<std::string>())
        << "docs/reference/*.md does not name these things the program registers";
}

} // namespace
} // namespace vellum
