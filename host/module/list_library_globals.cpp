// A build step: writes the globals the library module registers or
// replaces beyond the core library, as the sorted array the program
// searches to know when a script needs the module.
//
// usage: vellum-library-globals OUTPUT.inc
#include "engine/core/string_object.h"
#include "engine/core/table_iterator.h"
#include "engine/vm/interpreter_internal.h"
#include "host/corelib/core_library.h"
#include "host/register_libraries.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vellum;

// Every global name with the value it holds.
std::map<std::u16string, Value> Globals(Interpreter& ip)
{
    std::map<std::u16string, Value> names;
    TableIterator it(*InterpreterInternals(ip).Globals());
    Value key, value;
    while (it.Next(key, value)) {
        if (key.IsStr()) names.emplace(key.str->Utf16(), value);
    }
    return names;
}

bool SameValue(const Value& a, const Value& b) { return a.tag == b.tag && a.bits == b.bits; }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vellum-library-globals OUTPUT.inc\n");
        return 2;
    }
    Interpreter ip(RegisterCoreLibrary);
    const std::map<std::u16string, Value> core = Globals(ip);
    RegisterLibraries(ip);
    std::vector<std::u16string> added;
    for (const auto& [name, value] : Globals(ip)) {
        const auto before = core.find(name);
        if (before == core.end() || !SameValue(before->second, value)) added.push_back(name);
    }
    std::sort(added.begin(), added.end());
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Written by vellum-library-globals at build time.\n";
    for (const std::u16string& name : added) {
        out << "u\"";
        for (const char16_t c : name) {
            if (c < 0x20 || c > 0x7e || c == u'"' || c == u'\\') {
                char escaped[12];
                std::snprintf(escaped, sizeof escaped, "\\x%04x\" u\"", static_cast<unsigned>(c));
                out << escaped;
            } else {
                out << static_cast<char>(c);
            }
        }
        out << "\",\n";
    }
    return out ? 0 : 1;
}
