// The byte stream every reader and writer of the engine works on: compiled
// code and string literals go to memory streams, token files and the
// scripts' file streams go through file streams, and a text reader can sit
// on top of either.
//
// A stream made with an interpreter is collectable (scripts hold file
// streams); one made without belongs to whoever made it.
#pragma once

#include "engine/core/gc_object.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace vellum {

class Interpreter;
class TextReader;

class ByteStream : public GcObject {
public:
    explicit ByteStream(Interpreter* ip);
    ~ByteStream() override;

    // Copies up to n bytes from the current position; the count delivered.
    virtual size_t Read(void* buffer, size_t n) = 0;
    virtual void Write(const void* buffer, size_t n) = 0;
    // Writes out bytes a stream keeps waiting.
    virtual void Flush() {}
    // Offset from the start.
    virtual void Seek(uint32_t offset) = 0;
    virtual void SeekEnd() = 0;
    virtual uint32_t Size() = 0;

    // Writes the units low byte first, the byte order of the engine's files.
    void WriteUtf16Le(std::u16string_view text);

    // The text layer of this stream, made on first use.
    TextReader& GetTextReader();

    uint32_t position = 0;
    // Memory streams: the largest end written; file streams: the bytes
    // written to the file through this stream.
    uint32_t size = 0;
    // Where read errors are raised; none for streams the engine keeps to itself.
    Interpreter* const interpreter;

private:
    std::unique_ptr<TextReader> textReader;
};

} // namespace vellum
