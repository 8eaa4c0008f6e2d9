// Script paths onto the device folder, and hostile ones that try to leave it.
#include "platform/files/device_folder.h"

#include "engine/core/unicode.h"
#include "host/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vellum::platform {
namespace {

namespace fs = std::filesystem;

// A scratch tree under the system's temporary directory:
//   outside/secret.txt, outside/dir/         what no script may reach
//   dev/                                     the device folder
//   dev-link -> dev
class DeviceFolderTest : public ::testing::Test {
protected:
    DeviceFolderTest()
    {
        fs::create_directories(base / "outside/dir");
        Touch(base / "outside/secret.txt");
        fs::create_directories(root / "Docs/Sub");
        for (const char* name : {"Docs/Report.TXT", "notes.txt", "CASE.txt", "case.txt", "Case.TXT", "Docs/zz.txt",
                                 "Docs/ZZ.txt", "\xC3\x84pfel.txt"}) {
            Touch(root / name);
        }
        fs::create_directory_symlink("dev", base / "dev-link");
    }

    static void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

    // Where a script path leads, relative to the root ("." for the root
    // itself), or "refused".
    std::string Resolve(std::u16string_view scriptPath) const
    {
        const auto host = folder().HostPath(scriptPath);
        if (!host) return "refused";
        EXPECT_TRUE(host->is_absolute());
        return host->lexically_relative(root).generic_string();
    }

    // Each script path against where it must lead.
    void ExpectLeads(std::initializer_list<std::pair<std::u16string_view, const char*>> cases) const
    {
        for (const auto& [path, where] : cases) EXPECT_EQ(Resolve(path), where) << ToUtf8(path);
    }

    DeviceFolder folder() const { return DeviceFolder(root); }

    test::TempFolder scratch;
    const fs::path base = fs::canonical(scratch.path);
    const fs::path root = base / "dev";
};

TEST_F(DeviceFolderTest, SeparatorsDotsAndHostPathsStayInside)
{
    ExpectLeads({{u"", "."}, {u"\\", "."}, {u"/", "."}, {u"notes.txt", "notes.txt"}, {u"\\notes.txt", "notes.txt"},
                 {u"\\\\Docs//\\Report.TXT", "Docs/Report.TXT"}, {u"Docs/Sub\\..\\.\\Report.TXT", "Docs/Report.TXT"},
                 {u"\\Docs\\Sub\\", "Docs/Sub"}, {u"...", "..."}, {u"..", "."}, {u"\\..\\..\\a", "a"},
                 {u"..\\..\\", "."}, {u"Docs\\..\\..\\outside\\secret.txt", "outside/secret.txt"},
                 {u"../outside/dir/../secret.txt", "outside/secret.txt"}, {u"C:\\x", "C:/x"},
                 {u"/etc/passwd", "etc/passwd"}, {u"\\..\\..\\..\\..\\..\\..\\etc\\passwd", "etc/passwd"}});
    EXPECT_EQ(folder().ProgramDirectory(), u"\\");

    // A host path to a file that really exists outside is a device path
    // below the root, naming nothing.
    const std::string secret = (base / "outside/secret.txt").string();
    const auto host = folder().HostPath(std::u16string(secret.begin(), secret.end()));
    ASSERT_TRUE(host);
    EXPECT_EQ(*host, root / fs::path(secret).relative_path());
    EXPECT_FALSE(fs::exists(*host));
}

TEST_F(DeviceFolderTest, NamesMatchWithoutRegardToCase)
{
    ExpectLeads({{u"docs\\report.txt", "Docs/Report.TXT"}, {u"DOCS\\SUB", "Docs/Sub"},
                 {u"\u00E4PFEL.TXT", "\xC3\x84pfel.txt"},
                 // Several match: the exact one, else the first in byte order
                 // (ZZ.txt was made after zz.txt).
                 {u"case.txt", "case.txt"}, {u"Case.TXT", "Case.TXT"}, {u"cASE.TXT", "CASE.txt"},
                 {u"docs\\Zz.txt", "Docs/ZZ.txt"},
                 // Names that do not exist yet keep their spelling, below the matched part.
                 {u"docs\\New File.txt", "Docs/New File.txt"}, {u"docs\\new\\sub\\x.txt", "Docs/new/sub/x.txt"},
                 {u"docs\\report.txt\\x", "Docs/Report.TXT/x"}});
}

TEST_F(DeviceFolderTest, LinksLeadingOutAreRefusedWithoutOpeningTheFoldersOutside)
{
    fs::create_directories(base / "outside/dir/Inner");
    for (const auto& [target, link] : std::initializer_list<std::pair<fs::path, const char*>>{
             {"../outside/secret.txt", "out-file"}, {base / "outside/dir", "out-dir"},
             {base / "outside/new.txt", "out-dangling"}, {"../..", "Docs/up-two"}, {"../../outside", "Docs/up-out"},
             {"loop", "loop"}, {"Docs", "in-dir"}, {"..", "Docs/up-one"}, {"Docs/missing.txt", "in-dangling"}}) {
        fs::create_symlink(target, root / link);
    }
    // Matching a name without regard to case lists the folder reached; a
    // folder a link leads out to must not be listed, not even to refuse it.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    for (const char* watched : {"outside", "outside/dir", "outside/dir/Inner"}) {
        ASSERT_GE(inotify_add_watch(watch, (base / watched).c_str(), IN_OPEN | IN_ACCESS), 0);
    }
    ExpectLeads({{u"out-file", "refused"}, {u"OUT-FILE", "refused"}, {u"\\out-dir", "refused"},
                 {u"out-dir\\new.txt", "refused"}, {u"out-dangling", "refused"}, {u"Docs\\up-two", "refused"},
                 {u"docs\\up-two\\outside\\secret.txt", "refused"}, {u"loop", "refused"}, {u"loop\\x", "refused"},
                 {u"OUT-DIR\\x.txt", "refused"}, {u"out-dir\\inner\\x.txt", "refused"}, {u"out-dir\\INNER", "refused"},
                 {u"docs\\up-out\\DIR\\x", "refused"}, {u"Docs\\UP-OUT\\secret.TXT", "refused"},
                 // ".." is taken on the device's names, before any link is followed.
                 {u"out-dir\\..\\notes.txt", "notes.txt"}, {u"in-dir\\report.txt", "in-dir/Report.TXT"},
                 {u"docs\\up-one\\notes.txt", "Docs/up-one/notes.txt"}, {u"in-dangling", "in-dangling"}});
    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "a folder outside was opened";
    close(watch);

    // A device folder reached through a link is the linked folder itself.
    EXPECT_EQ(DeviceFolder(base / "dev-link").Root(), root);
    EXPECT_EQ(DeviceFolder(base / "dev/./Docs/..").Root(), root);
}

TEST_F(DeviceFolderTest, UnitsNoHostNameCanHoldAreRefused)
{
    ExpectLeads({{std::u16string_view(u"notes.txt\0.jpg", 14), "refused"}, {std::u16string_view(u"\0", 1), "refused"},
                 // Even inside a name that ".." takes away again.
                 {std::u16string_view(u"a\0b\\..\\notes.txt", 16), "refused"}, {u"bad\xD800name", "refused"},
                 {u"bad\xDC00", "refused"}, {u"smile\U0001F600.txt", "smile\xF0\x9F\x98\x80.txt"}});
}

TEST_F(DeviceFolderTest, DevicePathsOfHostPaths)
{
    fs::create_directory_symlink("Docs", root / "in-dir");
    fs::create_directory_symlink(base / "outside", root / "out-dir");
    fs::create_directory_symlink("../Sub", root / "Docs/Sub/back");
    const DeviceFolder device = folder();

    const std::optional<std::u16string> outside;
    for (const auto& [host, expected] : std::initializer_list<std::pair<fs::path, std::optional<std::u16string>>>{
             {root, u"\\"}, {root / "", u"\\"}, {root / "Docs/Report.TXT", u"\\Docs\\Report.TXT"},
             {root / "Docs/Sub/../new.txt", u"\\Docs\\new.txt"}, {base / "dev-link/notes.txt", u"\\notes.txt"},
             {root / "in-dir/Report.TXT", u"\\in-dir\\Report.TXT"},
             // ".." after a link is the link target's parent.
             {root / "in-dir/../notes.txt", u"\\notes.txt"},
             {root / "Docs/Sub/back/../Report.TXT", u"\\Docs\\Report.TXT"},
             {base / "outside/secret.txt", outside}, {root / "../outside/secret.txt", outside},
             {root / "out-dir/secret.txt", outside}, {base / "dev2/x", outside}, {"/", outside},
             // Host names no script path can spell.
             {root / "back\\slash", outside}, {root / "\xFF.txt", outside}}) {
        EXPECT_EQ(device.DevicePath(host), expected) << host;
    }

    // Device path and host path round trip, with the case corrected.
    for (const auto* path : {u"\\docs\\sub\\..\\REPORT.txt", u"new\\file.txt", u"\\", u"in-dir\\sub"}) {
        const auto host = device.HostPath(path);
        ASSERT_TRUE(host);
        const auto back = device.DevicePath(*host);
        ASSERT_TRUE(back);
        EXPECT_EQ(device.HostPath(*back), host);
    }
    EXPECT_EQ(device.DevicePath(*device.HostPath(u"docs\\sub\\..\\REPORT.txt")), u"\\Docs\\Report.TXT");
}

} // namespace
} // namespace vellum::platform
