// A byte stream over a C file handle, with an optional I/O buffer.
//
// The handle belongs to whoever made the stream: the stream's destructor
// neither flushes nor closes it, because the owner may already have closed
// it by the time the collector destroys the stream. The owner calls Flush
// and closes the handle, or takes it back with ReleaseHandle. A stream whose
// handle is null (a file that could not be opened) reads nothing and loses
// what is written.
#pragma once

#include "engine/stream/byte_stream.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace vellum {

class FileStream final : public ByteStream {
public:
    // Starts at the handle's current offset.
    FileStream(Interpreter* ip, std::FILE* file);

    // Delivering fewer bytes than asked raises errFileRead.
    size_t Read(void* buffer, size_t n) override;
    // Failures are silent. The position counts bytes waiting in the buffer
    // and goes back if they cannot be written out.
    void Write(const void* buffer, size_t n) override;
    void Flush() override;
    void Seek(uint32_t offset) override;
    void SeekEnd() override;
    // The file's size, waiting bytes included.
    uint32_t Size() override;

    // Buffers reads and writes through n bytes, or n / 16 when n cannot be
    // had, or not at all when neither can.
    void AllocateIoBuffer(size_t n);
    size_t IoBufferSize() const { return ioBufferSize; }

    // Writes out what is waiting and gives the handle, placed at the
    // stream's position, back to the caller; the stream is left without one.
    std::FILE* ReleaseHandle();

private:
    enum class Direction : uint8_t { none, reading, writing };

    // The C library needs a seek between reading and writing; the seek also
    // brings the file pointer back from where read-ahead left it.
    void SwitchTo(Direction next);
    // Writes out waiting bytes, forgets read-ahead and puts the file pointer
    // at the position.
    void Settle();
    void WriteWaiting();
    void DropReadAhead();
    size_t TakeReadAhead(uint8_t* out, size_t n);
    void RaiseReadError();

    std::FILE* file;
    std::unique_ptr<uint8_t[]> ioBuffer;
    size_t ioBufferSize = 0;
    // Bytes at the start of the buffer waiting to be written.
    size_t writeFill = 0;
    // Read-ahead: the unread bytes lie between readPos and readEnd.
    size_t readPos = 0;
    size_t readEnd = 0;
    Direction direction = Direction::none;
    // Set by SeekEnd; writes from there keep the position at the end, until
    // a seek or a read moves it.
    bool atEnd = false;
};

} // namespace vellum
