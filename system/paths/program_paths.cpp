// GetAppDir, GetDllDir and DocDir: the directories of the program and of
// the running script, as device paths with their trailing backslash.
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "system/natives.h"

#include <string_view>

namespace vellum::system {

uint32_t GetAppDir(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushString(ip.Paths().ProgramDirectory());
    return 1;
}

// The program loads no modules by name, so every module name answers with
// the program's own directory, as a module that is not loaded does.
uint32_t GetDllDir(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    ip.PushString(ip.Paths().ProgramDirectory());
    return 1;
}

uint32_t DocDir(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const std::u16string_view script = ip.Messages().scriptPath;
    const size_t slash = script.rfind(u'\\');
    ip.PushString(slash == std::u16string_view::npos ? std::u16string_view{} : script.substr(0, slash + 1));
    return 1;
}

} // namespace vellum::system
