// The vellum program run as its own process, as a user starts it, with what
// it printed and the status it ended with.
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

namespace vellum::test {

inline QString Path(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

struct ProgramRun {
    int status;
    std::string out, err;
    bool finished;
};

// Starts vellum with the arguments, its environment this one's with the
// changes (a variable changed to "" is removed).
inline void StartProgram(QProcess& process, const QStringList& arguments, const QProcessEnvironment& changes = {})
{
    // QProcess needs an application; the desktop tests have theirs.
    static int argc = 1;
    static char name[] = "vellum_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) static QCoreApplication app(argc, argv);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : changes.keys()) {
        const QString value = changes.value(variable);
        value.isEmpty() ? environment.remove(variable) : environment.insert(variable, value);
    }
    process.setProcessEnvironment(environment);
    process.start(VELLUM_EXECUTABLE, arguments);
    process.waitForStarted();
}

// Runs vellum to its end, or for timeoutMs when it does not end.
inline ProgramRun RunProgram(const QStringList& arguments, const QProcessEnvironment& changes = {},
                             int timeoutMs = 30000)
{
    QProcess process;
    StartProgram(process, arguments, changes);
    const bool finished = process.waitForFinished(timeoutMs);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString(), finished};
}

} // namespace vellum::test
