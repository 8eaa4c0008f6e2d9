// FileName: the directory, the name or the extension of a handheld path.
#include "engine/vm/interpreter.h"
#include "system/natives.h"

#include <string_view>

namespace vellum::system {

namespace {

constexpr size_t kMaxPath = 260;

} // namespace

// Only backslashes separate; the extension runs from the first dot of the
// file name, so "a.b.txt" has the extension ".b.txt" and the name "a".
uint32_t FileName(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const WideText pathUnits(ip.ArgText(1));
    const std::u16string_view path = pathUnits.View();
    // A longer path names no file on the device; rather than cut it and
    // answer for a different path, there is no answer.
    if (path.size() > kMaxPath) return 0;
    const std::u16string part = ip.ArgCount() - 1 == 2 ? ip.ArgText(2)->Utf16() : u"name";
    const size_t slash = path.rfind(u'\\');
    const size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    const std::u16string_view name = path.substr(nameStart);
    const size_t dot = name.find(u'.');
    std::u16string_view result;
    if (part == u"path") {
        result = path.substr(0, nameStart);
    } else if (part == u"ext") {
        result = dot == std::u16string_view::npos ? std::u16string_view{} : name.substr(dot);
    } else {
        result = name.substr(0, dot);
    }
    ip.PushString(result);
    return 1;
}

} // namespace vellum::system
