// Programs start through QProcess::startDetached, which runs them in a
// process of their own (a double fork, so nothing is left to reap) and
// reports whether the program could be executed.
#include "platform/desktop/process.h"

#include "platform/qt_convert.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace vellum::platform {

namespace {

QString FromPath(const std::filesystem::path& path) { return QFile::decodeName(path.c_str()); }

} // namespace

bool StartDetached(const std::filesystem::path& program, const std::vector<std::u16string>& arguments,
                   const std::filesystem::path& workingDirectory)
{
    if (!IsExecutableFile(program)) return false;
    QStringList list;
    for (const std::u16string& argument : arguments) {
        list.push_back(ToQString(argument));
    }
    QProcess process;
    process.setProgram(FromPath(program));
    process.setArguments(list);
    process.setWorkingDirectory(FromPath(workingDirectory));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

bool IsExecutableFile(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

std::u16string PathText(const std::filesystem::path& path)
{
    return ToU16String(FromPath(path));
}

std::optional<std::filesystem::path> FindOnPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
    std::string_view rest(path);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(':'), rest.size());
        const std::string_view directory = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        // An empty entry would mean the working directory: never searched.
        if (directory.empty()) continue;
        std::filesystem::path candidate = std::filesystem::path(directory) / name;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

} // namespace vellum::platform
