// The byte stream over a C file handle, buffered or not.
#include "engine/stream/file_stream.h"

#include "engine/vm/interpreter.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <new>
#include <utility>

namespace vellum {

namespace {
uint32_t ToOffset(long offset)
{
    if (offset <= 0) return 0;
    return static_cast<uint32_t>(std::min<long>(offset, std::numeric_limits<uint32_t>::max()));
}
} // namespace

FileStream::FileStream(Interpreter* ip, std::FILE* file) : ByteStream(ip), file(file)
{
    if (file != nullptr) position = ToOffset(std::ftell(file));
}

size_t FileStream::Read(void* buffer, size_t n)
{
    if (n == 0) return 0;
    if (file == nullptr) {
        RaiseReadError();
        return 0;
    }
    SwitchTo(Direction::reading);
    atEnd = false;
    auto* out = static_cast<uint8_t*>(buffer);
    size_t got = TakeReadAhead(out, n);
    if (got < n) {
        const size_t rest = n - got;
        if (rest > ioBufferSize) {
            // Unbuffered, or more than one refill could hold: straight from
            // the file, since going through the buffer would only add a copy.
            got += std::fread(out + got, 1, rest, file);
        } else {
            readPos = 0;
            readEnd = std::fread(ioBuffer.get(), 1, ioBufferSize, file);
            got += TakeReadAhead(out + got, rest);
        }
    }
    position += static_cast<uint32_t>(got);
    // A refill that came up short is no error as long as the caller got
    // everything asked for.
    if (got < n) RaiseReadError();
    return got;
}

void FileStream::Write(const void* buffer, size_t n)
{
    if (n == 0 || file == nullptr) return;
    SwitchTo(Direction::writing);
    if (writeFill + n > ioBufferSize) WriteWaiting();
    if (n > ioBufferSize) {
        const size_t written = std::fwrite(buffer, 1, n, file);
        position += static_cast<uint32_t>(written);
        size += static_cast<uint32_t>(written);
    } else {
        std::memcpy(ioBuffer.get() + writeFill, buffer, n);
        writeFill += n;
        position += static_cast<uint32_t>(n);
    }
}

void FileStream::Flush()
{
    if (direction != Direction::writing) return;
    WriteWaiting();
    std::fflush(file);
}

void FileStream::Seek(uint32_t offset)
{
    atEnd = false;
    if (file != nullptr) {
        WriteWaiting();
        DropReadAhead();
        std::fseek(file, static_cast<long>(offset), SEEK_SET);
        direction = Direction::none;
    }
    position = offset;
}

void FileStream::SeekEnd()
{
    if (file == nullptr) {
        position = 0;
        return;
    }
    // Writing on from the end found last time, the stream is still there:
    // no other open of this program writes a file a writer holds.
    if (direction == Direction::writing && atEnd) return;
    WriteWaiting();
    DropReadAhead();
    std::fseek(file, 0, SEEK_END);
    position = ToOffset(std::ftell(file));
    direction = Direction::none;
    atEnd = true;
}

uint32_t FileStream::Size()
{
    if (file == nullptr) return 0;
    WriteWaiting();
    const long here = std::ftell(file);
    if (here < 0) return 0;
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return ToOffset(end);
}

void FileStream::AllocateIoBuffer(size_t n)
{
    if (file != nullptr) Settle();
    ioBuffer.reset();
    ioBufferSize = 0;
    for (const size_t want : {n, n / 16}) {
        if (want == 0) break;
        ioBuffer.reset(new (std::nothrow) uint8_t[want]);
        if (ioBuffer) {
            ioBufferSize = want;
            break;
        }
    }
}

std::FILE* FileStream::ReleaseHandle()
{
    if (file != nullptr) Settle();
    return std::exchange(file, nullptr);
}

void FileStream::SwitchTo(Direction next)
{
    if (direction == next) return;
    Settle();
    direction = next;
}

void FileStream::Settle()
{
    if (direction == Direction::none) return;
    WriteWaiting();
    DropReadAhead();
    std::fseek(file, static_cast<long>(position), SEEK_SET);
    direction = Direction::none;
}

void FileStream::WriteWaiting()
{
    if (writeFill == 0) return;
    const size_t written = std::fwrite(ioBuffer.get(), 1, writeFill, file);
    size += static_cast<uint32_t>(written);
    // What the file refused is lost; the position follows the file.
    position -= static_cast<uint32_t>(writeFill - written);
    writeFill = 0;
}

void FileStream::DropReadAhead()
{
    readPos = 0;
    readEnd = 0;
}

size_t FileStream::TakeReadAhead(uint8_t* out, size_t n)
{
    const size_t count = std::min(n, readEnd - readPos);
    if (count > 0) std::memcpy(out, ioBuffer.get() + readPos, count);
    readPos += count;
    return count;
}

void FileStream::RaiseReadError()
{
    if (interpreter != nullptr) interpreter->RaiseError(errFileRead);
}

} // namespace vellum
