// File: an object naming a file by its path, which copies, deletes, tests,
// dates and opens it; and the registration of File and FileStream.
#include "system/files/file_stream_class.h"
#include "system/files/script_file.h"
#include "system/system_library.h"
#include "system/time/date_number.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace vellum::system {

namespace {

// The path as the script gave it, looked up in the object itself and not
// along its parents; nothing when `this` has none, which then opens nothing.
std::optional<Value> FullPath(Interpreter& ip)
{
    const Value& self = ip.ArgValue(0);
    if (!self.IsTable()) return std::nullopt;
    const Value path = self.table->Get(ip.MakeString(u"fullPath"));
    if (path.IsNull()) return std::nullopt;
    return path;
}

platform::OpenFile OpenThisFile(Interpreter& ip, platform::FileOpenMode mode)
{
    const std::optional<Value> path = FullPath(ip);
    return path ? OpenScriptFile(ip, *path, mode) : platform::OpenFile();
}

uint32_t Default(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    TableObject* object = ip.NewTable();
    SetParent(ip, object, ip.ArgValue(0));
    ip.TableSet(object, u"fullPath", ip.ArgValue(1));
    ip.PushValue(Value::Table(object));
    return 1;
}

// Replaces the destination. The destination is opened only once the source
// is, and excludes every other open, so copying a file onto itself is
// refused instead of emptying it.
uint32_t CopyTo(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    platform::OpenFile source = OpenThisFile(ip, kReadShared);
    if (!source) return 0;
    platform::OpenFile target = OpenScriptFile(ip, ip.ArgValue(1), kWriteEmptied);
    if (!target) return 0;
    std::vector<char> chunk(65536);
    size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), source.Handle())) > 0) {
        if (std::fwrite(chunk.data(), 1, n, target.Handle()) != n) break;
    }
    return 0;
}

// A file some stream of this program holds open stays.
uint32_t Delete(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const std::optional<Value> path = FullPath(ip);
    if (!path) return 0;
    if (const auto host = ScriptFilePath(ip, *path)) platform::DeleteUnheldFile(*host);
    return 0;
}

uint32_t Exists(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushBool(static_cast<bool>(OpenThisFile(ip, kReadAlone)));
    return 1;
}

// The file's local time fields as they stand, milliseconds included.
uint32_t Time(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    const std::u16string which = ip.ArgCount() > 1 ? ip.ArgText(1)->Utf16() : std::u16string();
    const platform::OpenFile file = OpenThisFile(ip, kReadAlone);
    const std::optional<platform::FileTimes> times = platform::TimesOf(file);
    if (!times) return 0;
    const platform::LocalTime& t = which == u"created"    ? times->created
                                   : which == u"accessed" ? times->lastAccess
                                                          : times->lastWrite;
    const std::optional<double> date = DateNumberFromCalendar(CalendarFromLocalTime(t), FieldCheck::lenient);
    if (!date) return 0;
    ip.PushNumber(*date);
    return 1;
}

uint32_t OpenWrite(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    const bool truncate = ip.ArgCount() > 1 && ip.ArgBool(1) != 0;
    if (ip.ErrorPending()) return 0;
    platform::OpenFile file = OpenThisFile(ip, truncate ? kWriteEmptied : kWriteKeeping);
    // Each Write reaches the file before it returns, in one write call, as
    // the handheld's unbuffered streams did: a process that is killed keeps
    // every line it wrote.
    if (file) std::setvbuf(file.Handle(), nullptr, _IONBF, 0);
    ip.PushValue(NewStreamObject(ip, std::move(file)));
    return 1;
}

uint32_t OpenRead(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushValue(NewStreamObject(ip, OpenThisFile(ip, kReadShared)));
    return 1;
}

constexpr ClassMethod kFileMethods[] = {
    {u"Default", Default}, {u"CopyTo", CopyTo},       {u"Delete", Delete},     {u"Exists", Exists},
    {u"Time", Time},       {u"OpenWrite", OpenWrite}, {u"OpenRead", OpenRead},
};

} // namespace

void RegisterFileClasses(Interpreter& ip)
{
    DefineClass(ip, u"File", kFileMethods);
    RegisterFileStreamClass(ip);
}

} // namespace vellum::system
