// The single-instance rule between processes of this machine.
#include "platform/window/single_instance.h"

#include "host/temp_folder.h"

#include <QCoreApplication>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vellum::platform {
namespace {

namespace fs = std::filesystem;

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest()
    {
        fs::create_directories(base / "a");
        fs::create_directories(base / "b");
        fs::create_directory_symlink("a", base / "a-link");
    }

    test::TempFolder scratch;
    const fs::path base = fs::canonical(scratch.path);
};

// A pipe that children wait on until the parent closes its end.
class Gate {
public:
    Gate() { EXPECT_EQ(pipe(fds), 0); }
    ~Gate()
    {
        Open();
        close(fds[0]);
    }
    void Open()
    {
        if (fds[1] >= 0) close(fds[1]);
        fds[1] = -1;
    }
    void WaitInChild()
    {
        Open();
        char unit;
        while (read(fds[0], &unit, 1) > 0) {}
    }

private:
    int fds[2] = {-1, -1};
};

enum class Ending { clean, crash };

// Claims folder in `count` children that start at the same moment. Each
// holds its claim until every one has reported whether it got it, then
// gives it up or, like a crash, ends without cleaning up. How many got it.
int ClaimInChildren(const fs::path& folder, int count, Ending ending)
{
    int report[2];
    EXPECT_EQ(pipe(report), 0);
    Gate start, hold;
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            start.WaitInChild();
            auto claim = SingleInstance::Claim(folder, [] {});
            const char claimed = claim != nullptr ? '1' : '0';
            const bool reported = write(report[1], &claimed, 1) == 1;
            hold.WaitInChild();
            if (ending == Ending::crash) (void)claim.release();
            claim.reset();
            _exit(reported ? 0 : 1);
        }
        if (child < 0) break;
        children.push_back(child);
    }
    EXPECT_EQ(children.size(), static_cast<size_t>(count)) << "fork failed";
    start.Open();
    int claims = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        char claimed = 0;
        EXPECT_EQ(read(report[0], &claimed, 1), 1);
        claims += claimed == '1';
    }
    hold.Open();
    for (const pid_t child : children) waitpid(child, nullptr, 0);
    close(report[0]);
    close(report[1]);
    return claims;
}

TEST_F(SingleInstanceTest, OneClaimPerFolderLaterStartsRaiseItAndACrashedClaimIsCleared)
{
    // A child claims "a" and ends like a crash, leaving its socket behind.
    ASSERT_EQ(ClaimInChildren(base / "a", 1, Ending::crash), 1);

    int raised = 0;
    auto first = SingleInstance::Claim(base / "a", [&raised] { ++raised; });
    ASSERT_NE(first, nullptr);
    bool wronglyRaised = false;
    EXPECT_EQ(SingleInstance::Claim(base / "a", [&] { wronglyRaised = true; }), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 5000));
    // The same folder spelt another way is the same folder.
    EXPECT_EQ(SingleInstance::Claim(base / "a-link/.", [&] { wronglyRaised = true; }), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 2; }, 5000));
    EXPECT_NE(SingleInstance::Claim(base / "b", [&] { wronglyRaised = true; }), nullptr);

    first.reset();
    EXPECT_NE(SingleInstance::Claim(base / "a", [] {}), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(raised, 2);
    EXPECT_FALSE(wronglyRaised);
}

TEST_F(SingleInstanceTest, StartsAtTheSameMomentLeaveOneInstance)
{
    // Without the claim's lock the race is lost in about one round of three.
    for (int round = 0; round < 8; ++round) {
        const fs::path folder = base / ("race-" + std::to_string(round));
        fs::create_directory(folder);
        EXPECT_EQ(ClaimInChildren(folder, 3, Ending::clean), 1) << "round " << round;
    }
}

} // namespace
} // namespace vellum::platform
