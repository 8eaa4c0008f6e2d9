#include "host/check_command.h"

#include "engine/core/terminal_text.h"
#include "engine/core/unicode.h"
#include "engine/error/error_table.h"
#include "host/core_interpreter.h"
#include "host/script_file.h"

namespace vellum {

namespace {

namespace fs = std::filesystem;

struct CheckError {
    fs::path file;
    TextLocation at;
    std::u16string message;
};

// The error of one file, if it has one.
std::optional<CheckError> CheckScript(const fs::path& file, const Application::LibraryInstaller& libraries)
{
    const ScriptFileText read = ReadScriptFile(file);
    if (!read.found) return CheckError{file, {}, FormatTemplate(EnglishMessage(errFileNotFound), FromUtf8(file.string()), {}, SIZE_MAX)};
    if (!read.text) {
        const std::u16string name = FromUtf8(file.filename().string());
        return CheckError{file, {}, FormatTemplate(EnglishMessage(errNotAScript), name, {}, SIZE_MAX)};
    }
    std::error_code ec;
    const platform::DeviceFolder folder(fs::absolute(file, ec).parent_path());
    const std::unique_ptr<Interpreter> ip = NewCoreInterpreter(folder, nullptr);
    libraries(*ip);
    ip->CompileSource(*read.text);
    if (!ip->ErrorPending()) return std::nullopt;
    CheckError error{file, ip->ErrorLocation().value_or(TextLocation{}), ip->FormatError()};
    // An included file is named the way the checked one was: from the same
    // folder, relative when that was.
    const std::u16string_view included = ip->SourceFile(ip->ErrorPlace().text);
    if (const auto host = included.empty() ? std::nullopt : folder.HostPath(included)) {
        error.file = file.parent_path() / fs::relative(*host, folder.Root(), ec);
    }
    return error;
}

} // namespace

int CheckScripts(const std::vector<fs::path>& files, const Application::LibraryInstaller& libraries, std::FILE* out)
{
    int status = 0;
    for (const fs::path& file : files) {
        const std::optional<CheckError> error = CheckScript(file, libraries);
        if (!error) continue;
        status = 1;
        WriteText(out, error->file.string() + ':' + std::to_string(error->at.line) + ':' +
                           std::to_string(error->at.column) + ": error: " + ToUtf8(error->message) + '\n');
    }
    return status;
}

} // namespace vellum
