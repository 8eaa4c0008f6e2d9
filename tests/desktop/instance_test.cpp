// The one-instance rule as users meet it with whole program runs on the
// display: a second plain start hands over to the running copy and says
// so, while a screenshot run is its own instance and saves its picture.
#include "host/file_bytes.h"
#include "host/temp_folder.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace vellum::test {
namespace {

namespace fs = std::filesystem;

QString Path(const fs::path& p) { return QString::fromStdString(p.string()); }

// A vellum run on this display; Qt's notes about a missing runtime folder
// stay off its standard error.
void Start(QProcess& process, const QStringList& arguments, const fs::path& runtime)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", Path(runtime));
    process.setProcessEnvironment(environment);
    process.start(VELLUM_EXECUTABLE, arguments);
    ASSERT_TRUE(process.waitForStarted());
}

struct Finished {
    int status;
    std::string err;
};

Finished RunToTheEnd(const QStringList& arguments, const fs::path& runtime)
{
    QProcess process;
    Start(process, arguments, runtime);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardError().toStdString()};
}

TEST(OneInstance, ASecondStartHandsOverAndSaysSoWhileAScreenshotRunsOnItsOwn)
{
    TempFolder dir;
    const fs::path runtime = dir.path / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const fs::path app = dir.path / "app";
    fs::create_directory(app);
    // The app tells it is up by a file, then waits for the user.
    WriteScript(app / "default.q9c", "var form = TForm({title = 'Running', view = TRectangle({style = {fill = 'red'}}),\n"
                                     "  function OnCreate() ToFile('up', 'up.txt') end})\n"
                                     "form.Show()\n");
    QProcess first;
    Start(first, {Path(app)}, runtime);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(app / "up.txt"); }, 15000));

    const fs::path shot = dir.path / "shot.png";
    const Finished screenshot =
        RunToTheEnd({"--screenshot", Path(shot), "--screen", "200x300", "--dpi", "96", Path(app)}, runtime);
    EXPECT_EQ(screenshot.status, 0) << screenshot.err;
    const QImage image(Path(shot), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(200, 300));
    EXPECT_EQ(image.pixelColor(100, 150), QColor(255, 0, 0));

    const Finished second = RunToTheEnd({Path(app)}, runtime);
    EXPECT_EQ(second.status, 0);
    // One line, naming the device folder.
    EXPECT_EQ(second.err.rfind("vellum: already running on ", 0), 0u) << second.err;
    EXPECT_NE(second.err.find("app; brought its window to the front\n"), std::string::npos) << second.err;
    EXPECT_EQ(std::count(second.err.begin(), second.err.end(), '\n'), 1) << second.err;

    first.terminate();
    EXPECT_TRUE(first.waitForFinished(10000));
}

} // namespace
} // namespace vellum::test
