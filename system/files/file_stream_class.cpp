// FileStream: writing text, choosing the code page, reading and appending
// lines, closing.
#include "system/files/file_stream_class.h"

#include "engine/stream/text_reader.h"
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"

#include <utility>

namespace vellum::system {

ScriptFileStream::ScriptFileStream(Interpreter& ip, platform::OpenFile file)
    : file(std::move(file)), stream(&ip, this->file.Handle())
{
}

void ScriptFileStream::Close()
{
    // The stream writes out what waits and lets go of the handle first, so
    // that it never touches a closed one.
    stream.ReleaseHandle();
    file.Close();
}

Value NewStreamObject(Interpreter& ip, platform::OpenFile file)
{
    TableObject* object = ip.NewTable();
    BindNative(ip, object, ip.GetGlobal(u"FileStream"), ip.Make<ScriptFileStream>(ip, std::move(file)));
    return Value::Table(object);
}

namespace {

FileStream* ThisStream(Interpreter& ip)
{
    auto* object = ThisNative<ScriptFileStream>(ip);
    return object != nullptr ? &object->Stream() : nullptr;
}

// Only strings are written; the units go out low byte first, with no mark
// and no line end.
uint32_t Write(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    const Value& text = ip.ArgValue(1);
    FileStream* stream = ThisStream(ip);
    if (stream != nullptr && text.IsStr()) stream->WriteUtf16Le(text.str->Utf16());
    return 0;
}

uint32_t SetEncoding(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    if (!ip.ArgValue(1).IsNum()) {
        ip.RaiseError(errNumberExpected);
        return 0;
    }
    int32_t codePage = 0;
    Interpreter::ValueToInt(ip.ArgValue(1), codePage);
    if (FileStream* stream = ThisStream(ip)) stream->GetTextReader().SetCodePage(codePage);
    return 0;
}

uint32_t ReadLine(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    FileStream* stream = ThisStream(ip);
    if (stream == nullptr) return 0;
    const std::optional<std::u16string> line = stream->GetTextReader().ReadText(true);
    if (!line) return 0;
    ip.PushString(*line);
    return 1;
}

uint32_t AppendLine(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    FileStream* stream = ThisStream(ip);
    if (stream != nullptr) stream->GetTextReader().AppendLine(ip.ArgText(1)->Utf16());
    return 0;
}

uint32_t Close(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    if (auto* object = ThisNative<ScriptFileStream>(ip)) object->Close();
    return 0;
}

constexpr ClassMethod kFileStreamMethods[] = {
    {u"Write", Write},           {u"SetEncoding", SetEncoding}, {u"ReadLine", ReadLine},
    {u"AppendLine", AppendLine}, {u"Close", Close},
};

} // namespace

void RegisterFileStreamClass(Interpreter& ip)
{
    DefineClass(ip, u"FileStream", kFileStreamMethods);
}

} // namespace vellum::system
