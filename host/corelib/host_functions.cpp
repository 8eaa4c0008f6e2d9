// The functions the host adds to every interpreter: running and compiling
// texts in a second interpreter, the collector and locale switches, the
// application name, and gEnvironment.
//
// RunScript and CompileLex build a fresh interpreter with every library,
// the caller's device folder and (for RunScript) the caller's error box.
// The two interpreters share nothing: texts cross between them only as
// std::u16string copies, never as string values.
#include "host/corelib/core_library.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "host/error_box.h"
#include "host/register_libraries.h"
#include "host/script_file.h"

#include <memory>
#include <optional>
#include <string>

namespace vellum {

namespace {

// Every nested RunScript adds an interpreter and up to its call-depth
// limit of executions to the native stack, and a script can hand itself to
// RunScript; past this depth the call fails with "Out of memory" in its
// caller, as recursion too deep for one interpreter does.
constexpr int kMaxNestedRuns = 16;
int nestedRuns = 0;

// The inner script's error comes back as {pos, text} instead of becoming
// the caller's; a run that ended with Die counts as a clean run.
uint32_t RunScript(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    if (nestedRuns >= kMaxNestedRuns) {
        ip.RaiseError(errOutOfMemory);
        return 0;
    }
    const std::u16string source(ip.ArgText(1)->Utf16());
    const bool withPath = ip.ArgCount() - 1 == 2;
    const std::u16string scriptPath(withPath ? ip.ArgText(2)->Utf16() : std::u16string_view{});
    bool failed = false;
    int32_t position = -1;
    std::u16string message;
    {
        struct Nesting {
            Nesting() { ++nestedRuns; }
            ~Nesting() { --nestedRuns; }
        } nesting;
        ErrorBox box;
        const std::unique_ptr<Interpreter> inner = NewInterpreter(ip.Paths(), &box);
        if (withPath) inner->Messages().scriptPath = scriptPath;
        inner->RunSource(source);
        if (inner->ErrorPending()) {
            failed = true;
            position = inner->ErrorPosition();
            message = inner->FormatError();
        }
    }
    if (!failed) return 0;
    TableObject* result = ip.NewTable();
    ip.TableSet(result, u"pos", Value::Number(position));
    ip.TableSet(result, u"text", ip.MakeString(message));
    ip.PushValue(Value::Table(result));
    return 1;
}

// Compiles a script file without running it and shows a compile error in
// the error box at once; the listing file, when it can be made, receives
// the token stream, which runs as the same program.
uint32_t CompileLex(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    const std::u16string sourceName(ip.ArgText(1)->Utf16());
    const std::u16string listingName(ip.ArgText(2)->Utf16());
    ScriptFileText file;
    if (const auto path = ip.Paths().HostPath(sourceName)) file = ReadScriptFile(*path);
    if (!file.text) {
        ip.RaiseError(file.found ? errNotAScript : errFileNotFound, sourceName);
        return 0;
    }
    // The box is declared first so that it outlives the interpreter reporting to it.
    ErrorBox box;
    const std::unique_ptr<Interpreter> inner = NewInterpreter(ip.Paths(), &box);
    inner->CompileSource(*file.text, listingName);
    inner->ReportError();
    return 0;
}

uint32_t NewObjectsNum(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    ip.PushNumber(ip.NewObjectsNum());
    return 1;
}

uint32_t SetAppName(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    ip.SetGlobal(u"gAppName", ip.ArgValue(1));
    return 0;
}

uint32_t GCEnabled(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    if (ip.ArgCount() - 1 == 1) {
        const uint32_t on = ip.ArgBool(1);
        if (ip.ErrorPending()) return 0;
        ip.SetCollectorEnabled(on != 0);
    }
    ip.PushBool(ip.CollectorEnabled());
    return 1;
}

uint32_t SetLocale(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    ip.Messages().SetLocale(ip.ArgText(1)->Utf16());
    return 0;
}

uint32_t SetLocStr(Interpreter& ip)
{
    if (!ip.CheckArgs(3, -1)) return 0;
    ip.Messages().SetMessage(ip.ArgText(1)->Utf16(), ip.ArgText(2)->Utf16(), ip.ArgText(3)->Utf16());
    return 0;
}

// There is no program file with icon resources to change here: the
// arguments are checked and taken as text like any other, then dropped.
uint32_t AddIcoToExe(Interpreter& ip)
{
    if (!ip.CheckArgs(2, -1)) return 0;
    ip.ArgText(1);
    ip.ArgText(2);
    return 0;
}

} // namespace

void RegisterHostFunctions(Interpreter& ip)
{
    static constexpr GlobalFunction kFunctions[] = {
        {u"RunScript", RunScript},
        {u"CompileLex", CompileLex},
        {u"NewObjectsNum", NewObjectsNum},
        {u"SetAppName", SetAppName},
        {u"GCEnabled", GCEnabled},
    };
    RegisterFunctions(ip, kFunctions);
    static constexpr ClassMethod kEnvironmentMethods[] = {{u"SetLocale", SetLocale}, {u"SetLocStr", SetLocStr}};
    TableObject* environment = ip.NewTable();
    AddMethods(ip, environment, kEnvironmentMethods);
    ip.SetGlobal(u"gEnvironment", environment);
}

void RegisterAddIcoToExe(Interpreter& ip) { ip.RegisterFunction(u"AddIcoToExe", AddIcoToExe); }

} // namespace vellum
