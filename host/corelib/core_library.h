// The core library: the functions every script sees.
#pragma once

namespace vellum {

class Interpreter;

// Registered by every interpreter while it is constructed: the global
// functions (AsStr ... ValType) and the string methods in "__String".
void RegisterCoreLibrary(Interpreter& ip);

// Registered by RegisterLibraries: RunScript, CompileLex, NewObjectsNum,
// SetAppName, GCEnabled and the table gEnvironment.
void RegisterHostFunctions(Interpreter& ip);

// Registered by RegisterLibraries just before the file classes.
void RegisterAddIcoToExe(Interpreter& ip);

} // namespace vellum
