// The Debug Adapter Protocol's framing: each message is a header block
// ("Content-Length: N", other header lines ignored, an empty line) followed
// by N bytes of JSON.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

namespace vellum {

class DapReader {
public:
    explicit DapReader(int fd) : fd(fd) {}

    // A message larger than this is not read: the stream ends there.
    static constexpr size_t kMaxMessage = size_t{16} << 20;

    struct Message {
        std::string body;  // the JSON text
        std::string error; // why the header could not be read (body empty)
    };
    // The next message; nothing at the end of the stream or when its
    // framing cannot be trusted any more (an oversized message).
    std::optional<Message> Next();

private:
    // One header line without its line end; nothing at the end of the stream.
    std::optional<std::string> Line();
    bool Fill();

    int fd;
    std::string buffer;
    size_t at = 0;
};

// Writes whole messages; safe from several threads.
class DapWriter {
public:
    explicit DapWriter(int fd) : fd(fd) {}
    void Send(const std::string& json);

private:
    int fd;
    std::mutex mutex;
};

} // namespace vellum
