// Tests of the device folder: script paths onto the folder, hostile paths
// that try to leave it (by "..", host-absolute names, links, bad units),
// case-insensitive matching, and device paths of host paths.
#include "platform/files/device_folder.h"

#include "engine/core/unicode.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
        std::string pattern = (fs::temp_directory_path() / "vellum-device-XXXXXX").string();
        base = fs::canonical(mkdtemp(pattern.data()));
        root = base / "dev";
        fs::create_directories(base / "outside/dir");
        Touch(base / "outside/secret.txt");
        fs::create_directories(root / "Docs/Sub");
        Touch(root / "Docs/Report.TXT");
        Touch(root / "notes.txt");
        Touch(root / "CASE.txt");
        Touch(root / "case.txt");
        Touch(root / "Case.TXT");
        Touch(root / "Docs/zz.txt");
        Touch(root / "Docs/ZZ.txt");
        Touch(root / "\xC3\x84pfel.txt");
        fs::create_directory_symlink("dev", base / "dev-link");
    }
    ~DeviceFolderTest() override
    {
        std::error_code ignored;
        fs::remove_all(base, ignored);
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

    DeviceFolder folder() const { return DeviceFolder(root); }

    fs::path base;
    fs::path root;
};

TEST_F(DeviceFolderTest, SeparatorsDotsAndTheRoot)
{
    EXPECT_EQ(Resolve(u""), ".");
    EXPECT_EQ(Resolve(u"\\"), ".");
    EXPECT_EQ(Resolve(u"/"), ".");
    EXPECT_EQ(Resolve(u"notes.txt"), "notes.txt");
    EXPECT_EQ(Resolve(u"\\notes.txt"), "notes.txt");
    EXPECT_EQ(Resolve(u"\\\\Docs//\\Report.TXT"), "Docs/Report.TXT");
    EXPECT_EQ(Resolve(u"Docs/Sub\\..\\.\\Report.TXT"), "Docs/Report.TXT");
    EXPECT_EQ(Resolve(u"\\Docs\\Sub\\"), "Docs/Sub");
    EXPECT_EQ(Resolve(u"..."), "...");
    EXPECT_EQ(folder().ProgramDirectory(), u"\\");
}

TEST_F(DeviceFolderTest, DotDotAndHostPathsStayInside)
{
    EXPECT_EQ(Resolve(u".."), ".");
    EXPECT_EQ(Resolve(u"\\..\\..\\a"), "a");
    EXPECT_EQ(Resolve(u"..\\..\\"), ".");
    EXPECT_EQ(Resolve(u"Docs\\..\\..\\outside\\secret.txt"), "outside/secret.txt");
    EXPECT_EQ(Resolve(u"../outside/dir/../secret.txt"), "outside/secret.txt");
    EXPECT_EQ(Resolve(u"C:\\x"), "C:/x");
    EXPECT_EQ(Resolve(u"/etc/passwd"), "etc/passwd");
    EXPECT_EQ(Resolve(u"\\..\\..\\..\\..\\..\\..\\etc\\passwd"), "etc/passwd");

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
    EXPECT_EQ(Resolve(u"docs\\report.txt"), "Docs/Report.TXT");
    EXPECT_EQ(Resolve(u"DOCS\\SUB"), "Docs/Sub");
    EXPECT_EQ(Resolve(u"\u00E4PFEL.TXT"), "\xC3\x84pfel.txt");
    // Several match: the exact one, else the first in byte order.
    EXPECT_EQ(Resolve(u"case.txt"), "case.txt");
    EXPECT_EQ(Resolve(u"Case.TXT"), "Case.TXT");
    EXPECT_EQ(Resolve(u"cASE.TXT"), "CASE.txt");
    EXPECT_EQ(Resolve(u"docs\\Zz.txt"), "Docs/ZZ.txt"); // made in the other order
    // Names that do not exist yet keep their spelling, below the matched part.
    EXPECT_EQ(Resolve(u"docs\\New File.txt"), "Docs/New File.txt");
    EXPECT_EQ(Resolve(u"docs\\new\\sub\\x.txt"), "Docs/new/sub/x.txt");
    EXPECT_EQ(Resolve(u"docs\\report.txt\\x"), "Docs/Report.TXT/x");
}

TEST_F(DeviceFolderTest, LinksLeadingOutAreRefused)
{
    fs::create_symlink("../outside/secret.txt", root / "out-file");
    fs::create_directory_symlink(base / "outside/dir", root / "out-dir");
    fs::create_symlink(base / "outside/new.txt", root / "out-dangling");
    fs::create_directory_symlink("../..", root / "Docs/up-two");
    fs::create_symlink("loop", root / "loop");
    fs::create_directory_symlink("Docs", root / "in-dir");
    fs::create_directory_symlink("..", root / "Docs/up-one");
    fs::create_symlink("Docs/missing.txt", root / "in-dangling");

    for (const auto* path : {u"out-file", u"OUT-FILE", u"\\out-dir", u"out-dir\\new.txt",
                             u"out-dangling", u"Docs\\up-two", u"docs\\up-two\\outside\\secret.txt", u"loop",
                             u"loop\\x"}) {
        EXPECT_EQ(Resolve(path), "refused") << ToUtf8(path);
    }
    // ".." is taken on the device's names, before any link is followed.
    EXPECT_EQ(Resolve(u"out-dir\\..\\notes.txt"), "notes.txt");

    EXPECT_EQ(Resolve(u"in-dir\\report.txt"), "in-dir/Report.TXT");
    EXPECT_EQ(Resolve(u"docs\\up-one\\notes.txt"), "Docs/up-one/notes.txt");
    EXPECT_EQ(Resolve(u"in-dangling"), "in-dangling");

    // A device folder reached through a link is the linked folder itself.
    EXPECT_EQ(DeviceFolder(base / "dev-link").Root(), root);
    EXPECT_EQ(DeviceFolder(base / "dev/./Docs/..").Root(), root);
}

TEST_F(DeviceFolderTest, FoldersOutsideAreNeverOpened)
{
    // Matching a name without regard to case lists the folder reached; a
    // folder a link leads out to must not be listed, not even to refuse it.
    fs::create_directories(base / "outside/dir/Inner");
    fs::create_directory_symlink(base / "outside/dir", root / "out-dir");
    fs::create_directory_symlink("../../outside", root / "Docs/up-out");
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    for (const char* watched : {"outside", "outside/dir", "outside/dir/Inner"}) {
        ASSERT_GE(inotify_add_watch(watch, (base / watched).c_str(), IN_OPEN | IN_ACCESS), 0);
    }
    for (const auto* path : {u"OUT-DIR\\x.txt", u"out-dir\\inner\\x.txt", u"out-dir\\INNER", u"docs\\up-out\\DIR\\x",
                             u"Docs\\UP-OUT\\secret.TXT"}) {
        EXPECT_EQ(Resolve(path), "refused") << ToUtf8(path);
    }
    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "a folder outside was opened";
    close(watch);
}

TEST_F(DeviceFolderTest, UnitsNoHostNameCanHoldAreRefused)
{
    EXPECT_EQ(Resolve(std::u16string(u"notes.txt\0.jpg", 14)), "refused");
    EXPECT_EQ(Resolve(std::u16string(u"\0", 1)), "refused");
    // Even inside a name that ".." takes away again.
    EXPECT_EQ(Resolve(std::u16string(u"a\0b\\..\\notes.txt", 16)), "refused");
    EXPECT_EQ(Resolve(u"bad\xD800name"), "refused");
    EXPECT_EQ(Resolve(u"bad\xDC00"), "refused");
    EXPECT_EQ(Resolve(u"smile\U0001F600.txt"), "smile\xF0\x9F\x98\x80.txt");
}

TEST_F(DeviceFolderTest, DevicePathsOfHostPaths)
{
    fs::create_directory_symlink("Docs", root / "in-dir");
    fs::create_directory_symlink(base / "outside", root / "out-dir");
    fs::create_directory_symlink("../Sub", root / "Docs/Sub/back");
    const DeviceFolder device = folder();

    EXPECT_EQ(device.DevicePath(root), u"\\");
    EXPECT_EQ(device.DevicePath(root / ""), u"\\");
    EXPECT_EQ(device.DevicePath(root / "Docs/Report.TXT"), u"\\Docs\\Report.TXT");
    EXPECT_EQ(device.DevicePath(root / "Docs/Sub/../new.txt"), u"\\Docs\\new.txt");
    EXPECT_EQ(device.DevicePath(base / "dev-link/notes.txt"), u"\\notes.txt");
    EXPECT_EQ(device.DevicePath(root / "in-dir/Report.TXT"), u"\\in-dir\\Report.TXT");
    // ".." after a link is the link target's parent.
    EXPECT_EQ(device.DevicePath(root / "in-dir/../notes.txt"), u"\\notes.txt");
    EXPECT_EQ(device.DevicePath(root / "Docs/Sub/back/../Report.TXT"), u"\\Docs\\Report.TXT");

    EXPECT_EQ(device.DevicePath(base / "outside/secret.txt"), std::nullopt);
    EXPECT_EQ(device.DevicePath(root / "../outside/secret.txt"), std::nullopt);
    EXPECT_EQ(device.DevicePath(root / "out-dir/secret.txt"), std::nullopt);
    EXPECT_EQ(device.DevicePath(base / "dev2/x"), std::nullopt);
    EXPECT_EQ(device.DevicePath("/"), std::nullopt);
    // Host names no script path can spell.
    EXPECT_EQ(device.DevicePath(root / "back\\slash"), std::nullopt);
    EXPECT_EQ(device.DevicePath(root / "\xFF.txt"), std::nullopt);

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
