// Maps handheld paths onto the device folder and host paths back, and keeps
// every mapped path inside the folder once links are followed.
//
// A script path is first reduced to device names alone ("." dropped, ".."
// clamped at the root); each name is then matched against the folder as it
// is on disk. Only then are links followed, the way the kernel follows them
// when the file is opened, so a link inside the folder may lead anywhere
// inside it but never out of it.
#include "platform/files/device_folder.h"

#include "engine/core/case_folding.h"
#include "engine/core/unicode.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace vellum::platform {

namespace fs = std::filesystem;

namespace {

// The kernel's own limit on links followed while resolving one path.
constexpr int maxLinksFollowed = 40;

bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

// A Linux file name is bytes without NUL; a lone surrogate has no UTF-8 form,
// and turning it into U+FFFD would name a different file.
bool FitsHostNames(std::u16string_view path)
{
    for (size_t i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i];
        if (unit == 0) return false;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            return false;
        }
    }
    return true;
}

// The names of a script path below the root, as UTF-8, with "." dropped and
// ".." applied; ".." at the root stays at the root, as on the device.
std::vector<std::string> DeviceNames(std::u16string_view path)
{
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        const std::u16string_view name = path.substr(start, i - start);
        start = i + 1;
        if (name.empty() || name == u".") continue;
        if (name == u"..") {
            if (!names.empty()) names.pop_back();
            continue;
        }
        names.push_back(ToUtf8(name));
    }
    return names;
}

// A host file name as a script sees it; nothing for a name no script can
// write: bytes that are not UTF-8, or a backslash, which scripts separate on.
std::optional<std::u16string> ScriptName(const std::string& hostName)
{
    std::u16string name = FromUtf8(hostName);
    if (ToUtf8(name) != hostName || name.find(u'\\') != std::u16string::npos) return std::nullopt;
    return name;
}

// The entry of dir that name stands for: the entry of that exact name, else
// the one equal to it without regard to case (Unicode simple case folding);
// when several are, the first in byte order, so the choice never depends on
// the order the directory happens to list them in.
std::optional<std::string> MatchEntry(const fs::path& dir, const std::string& name)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(dir / name, error))) return name;

    const std::u16string wanted = FoldCase(FromUtf8(name));
    std::optional<std::string> match;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        const auto entryName = ScriptName(entry);
        if (!entryName || FoldCase(*entryName) != wanted) continue;
        if (!match || entry < *match) match = std::move(entry);
    }
    return match;
}

void PushNames(std::vector<fs::path>& pending, const fs::path& path)
{
    const fs::path names = path.relative_path();
    const std::vector<fs::path> parts(names.begin(), names.end());
    pending.insert(pending.end(), parts.rbegin(), parts.rend());
}

bool IsWithin(const fs::path& path, const fs::path& root)
{
    if (root.empty()) return false;
    return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

// Where an absolute path really leads: every link on it followed, ".." taken
// from the directory a link led to, missing names taken as written. Nothing
// when links loop or cannot be read. With a bound, nothing as soon as the
// walk would look at a name that is neither inside the bound nor on the way
// to it, so a link that leads out is never followed further.
std::optional<fs::path> FollowLinks(const fs::path& path, const fs::path& bound = {})
{
    std::vector<fs::path> pending; // the next name last
    PushNames(pending, path);
    fs::path resolved = path.root_path();
    int links = 0;
    while (!pending.empty()) {
        const fs::path name = std::move(pending.back());
        pending.pop_back();
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            resolved = resolved.parent_path();
            continue;
        }
        fs::path next = resolved / name;
        if (!bound.empty() && !IsWithin(next, bound) && !IsWithin(bound, next)) return std::nullopt;
        std::error_code error;
        // A dangling link counts too: creating a file through it creates the
        // link's target.
        if (fs::is_symlink(fs::symlink_status(next, error))) {
            const fs::path target = fs::read_symlink(next, error);
            if (error || ++links > maxLinksFollowed) return std::nullopt;
            if (target.is_absolute()) resolved = target.root_path();
            PushNames(pending, target);
            continue;
        }
        resolved = std::move(next);
    }
    return resolved;
}

// Where path really leads, when that is inside root.
std::optional<fs::path> RealPathInside(const fs::path& path, const fs::path& root)
{
    auto real = FollowLinks(path, root);
    if (!real || !IsWithin(*real, root)) return std::nullopt;
    return real;
}

} // namespace

DeviceFolder::DeviceFolder(const fs::path& root)
{
    // Left empty when the folder cannot be made absolute or its links loop:
    // then no path is inside, rather than paths relative to wherever we are.
    std::error_code error;
    const fs::path absolute = fs::absolute(root, error);
    if (!error) this->root = FollowLinks(absolute).value_or(fs::path());
}

std::optional<fs::path> DeviceFolder::HostPath(std::u16string_view scriptPath) const
{
    if (!FitsHostNames(scriptPath)) return std::nullopt;
    fs::path host = root;
    bool found = true; // below a missing name nothing can match
    for (const std::string& name : DeviceNames(scriptPath)) {
        // A directory is looked into only once it is known to lie inside
        // the folder: a link leading out must not even be listed.
        if (found && !RealPathInside(host, root)) return std::nullopt;
        std::optional<std::string> entry = found ? MatchEntry(host, name) : std::nullopt;
        found = entry.has_value();
        host /= entry.value_or(name);
    }
    if (!RealPathInside(host, root)) return std::nullopt;
    return host;
}

std::optional<std::u16string> DeviceFolder::DevicePath(const fs::path& hostPath) const
{
    std::error_code error;
    const fs::path absolute = fs::absolute(hostPath, error);
    if (error) return std::nullopt;
    // A host path may come in through a link outside (a dialog's answer),
    // so its links are followed wherever they lead before it is judged.
    const auto real = FollowLinks(absolute);
    if (!real || !IsWithin(*real, root)) return std::nullopt;

    // The path as given keeps the names it was reached by (a link inside the
    // folder stays a link), unless ".." over a link made it name another file.
    const fs::path normal = absolute.lexically_normal();
    const fs::path& inside = IsWithin(normal, root) && FollowLinks(normal) == real ? normal : *real;

    std::u16string device;
    for (const fs::path& name : inside.lexically_relative(root)) {
        if (name.empty() || name == ".") continue;
        const auto scriptName = ScriptName(name.string());
        if (!scriptName) return std::nullopt;
        device += u'\\';
        device += *scriptName;
    }
    return device.empty() ? u"\\" : device;
}

} // namespace vellum::platform
