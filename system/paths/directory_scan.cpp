// ScanDir and ScanDirDeep: the entries of a device directory that match a
// file mask, in a stable order (by name without regard to case).
//
// A pattern is a device path: its directory part (up to its last
// separator, "\" when there is none) and its mask. Entries scripts cannot
// reach, such as links leading out of the device folder or names no script
// can write, are not listed. The deep scan does not descend through links
// to directories, so a link loop cannot make it recurse without end.
#include "engine/core/case_folding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "system/natives.h"
#include "system/paths/wildcard.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vellum::system {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxPath = 260;

struct Entry {
    std::u16string name;
    std::u16string devicePath;
    bool isDirectory = false; // following links
    bool isLink = false;
};

struct Pattern {
    std::u16string directory; // ends with "\"
    std::u16string mask;
};

Pattern SplitPattern(std::u16string_view pattern)
{
    const size_t separator = pattern.find_last_of(u"\\/");
    if (separator == std::u16string_view::npos) return {u"\\", std::u16string(pattern)};
    std::u16string directory(pattern.substr(0, separator));
    directory += u'\\';
    return {std::move(directory), std::u16string(pattern.substr(separator + 1))};
}

// Every entry of the directory a script may see, sorted; nothing when the
// directory cannot be read.
std::optional<std::vector<Entry>> ReadDirectory(const PathResolver& paths, std::u16string_view directory)
{
    const auto host = paths.HostPath(directory);
    if (!host) return std::nullopt;
    std::error_code error;
    fs::directory_iterator it(*host, error);
    if (error) return std::nullopt;
    std::vector<Entry> entries;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) break;
        const fs::file_status target = fs::status(it->path(), error);
        if (error || !fs::exists(target)) continue; // dangling links name nothing
        auto devicePath = paths.DevicePath(it->path());
        if (!devicePath || devicePath->size() > kMaxPath) continue;
        const size_t slash = devicePath->rfind(u'\\');
        Entry entry;
        entry.name = devicePath->substr(slash + 1);
        entry.devicePath = std::move(*devicePath);
        entry.isDirectory = fs::is_directory(target);
        entry.isLink = fs::is_symlink(fs::symlink_status(it->path(), error));
        entries.push_back(std::move(entry));
    }
    std::vector<std::pair<std::u16string, size_t>> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(FoldCase(entries[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return entries[a.second].name < entries[b.second].name;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys) sorted.push_back(std::move(entries[key.second]));
    return sorted;
}

void Append(Interpreter& ip, TableObject* list, std::u16string_view text)
{
    list->Set(Value::Number(static_cast<double>(list->Count())), ip.MakeString(text));
}

// Files first, then each real subdirectory in turn, depth first.
void ScanDeep(Interpreter& ip, TableObject* list, const std::vector<Entry>& entries, std::u16string_view mask)
{
    for (const Entry& entry : entries) {
        if (!entry.isDirectory && MatchesMask(entry.name, mask)) Append(ip, list, entry.devicePath);
    }
    for (const Entry& entry : entries) {
        if (!entry.isDirectory || entry.isLink) continue;
        if (const auto inner = ReadDirectory(ip.Paths(), entry.devicePath + u'\\')) ScanDeep(ip, list, *inner, mask);
    }
}

} // namespace

uint32_t ScanDir(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const WideText patternTextUnits(ip.ArgText(1));
    const std::u16string_view patternText = patternTextUnits.View();
    if (patternText.size() > kMaxPath) return 0;
    const Pattern pattern = SplitPattern(patternText);
    const auto entries = ReadDirectory(ip.Paths(), pattern.directory);
    if (!entries) return 0;
    TableObject* list = nullptr;
    for (const Entry& entry : *entries) {
        if (!MatchesMask(entry.name, pattern.mask)) continue;
        if (!list) list = ip.NewTable();
        Append(ip, list, entry.name);
    }
    if (!list) return 0;
    ip.PushValue(Value::Table(list));
    return 1;
}

uint32_t ScanDirDeep(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const WideText patternTextUnits(ip.ArgText(1));
    const std::u16string_view patternText = patternTextUnits.View();
    if (patternText.size() > kMaxPath) return 0;
    const Pattern pattern = SplitPattern(patternText);
    const auto entries = ReadDirectory(ip.Paths(), pattern.directory);
    // An empty directory gives null; one with entries but no match anywhere
    // gives an empty list.
    if (!entries || entries->empty()) return 0;
    TableObject* list = ip.NewTable();
    ScanDeep(ip, list, *entries, pattern.mask);
    ip.PushValue(Value::Table(list));
    return 1;
}

} // namespace vellum::system
