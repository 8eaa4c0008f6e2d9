// Script paths to open files.
#include "system/files/script_file.h"

#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"

namespace vellum::system {

std::optional<std::filesystem::path> ScriptFilePath(Interpreter& ip, const Value& path)
{
    return ip.Paths().HostPath(ip.ToString(path, false, true)->Utf16());
}

platform::OpenFile OpenScriptFile(Interpreter& ip, const Value& path, platform::FileOpenMode mode)
{
    const auto host = ScriptFilePath(ip, path);
    return host ? platform::OpenFile::Open(*host, mode) : platform::OpenFile();
}

} // namespace vellum::system
