// The FileStream table and the native object behind each of its streams.
#pragma once

#include "engine/core/gc_object.h"
#include "engine/core/value.h"
#include "engine/stream/file_stream.h"
#include "platform/files/open_files.h"

namespace vellum {
class Interpreter;
}

namespace vellum::system {

// A script's stream over one open file. A stream the script never closed
// closes its file when the collector destroys it, so a loop that forgets
// Close cannot run out of handles or keep the file locked for good.
class ScriptFileStream final : public GcObject {
public:
    ScriptFileStream(Interpreter& ip, platform::OpenFile file);
    ~ScriptFileStream() override { Close(); }

    FileStream& Stream() { return stream; }
    // Writes out what waits and closes the file; every later read and write fails.
    void Close();

private:
    platform::OpenFile file;
    FileStream stream;
};

// A new stream table inheriting from FileStream over the file, which may be
// empty (a file that could not be opened): such a stream reads an empty
// line and loses what is written.
Value NewStreamObject(Interpreter& ip, platform::OpenFile file);

void RegisterFileStreamClass(Interpreter& ip);

} // namespace vellum::system
