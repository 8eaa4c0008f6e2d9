#include "host/debug_adapter/dap_stream.h"

#include <cerrno>
#include <charconv>
#include <unistd.h>

namespace vellum {

bool DapReader::Fill()
{
    if (at > 0) {
        buffer.erase(0, at);
        at = 0;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0) {
            buffer.append(chunk, static_cast<size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}

std::optional<std::string> DapReader::Line()
{
    for (;;) {
        const size_t end = buffer.find('\n', at);
        if (end != std::string::npos) {
            std::string line = buffer.substr(at, end - at);
            at = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        // A header line longer than any real one is no header.
        if (buffer.size() - at > 4096) {
            at = buffer.size();
            return std::string("\x01");
        }
        if (!Fill()) return std::nullopt;
    }
}

std::optional<DapReader::Message> DapReader::Next()
{
    std::optional<size_t> length;
    std::string error;
    for (;;) {
        const auto line = Line();
        if (!line) return std::nullopt;
        if (line->empty()) {
            // A stray empty line before any header is passed over.
            if (!length && error.empty()) continue;
            break;
        }
        static constexpr std::string_view kLength = "content-length:";
        std::string lower;
        for (char c : line->substr(0, kLength.size())) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != kLength) continue;
        std::string_view digits = std::string_view(*line).substr(kLength.size());
        while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
        while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) digits.remove_suffix(1);
        size_t n = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec != std::errc() || end != digits.data() + digits.size()) {
            error = "the Content-Length header is no number";
        } else {
            length = n;
        }
    }
    if (!length) return Message{{}, error.empty() ? "a message without a Content-Length header" : error};
    if (*length > kMaxMessage) return std::nullopt;
    while (buffer.size() - at < *length) {
        if (!Fill()) return std::nullopt;
    }
    Message message{buffer.substr(at, *length), {}};
    at += *length;
    return message;
}

void DapWriter::Send(const std::string& json)
{
    const std::string framed = "Content-Length: " + std::to_string(json.size()) + "\r\n\r\n" + json;
    const std::lock_guard lock(mutex);
    size_t written = 0;
    while (written < framed.size()) {
        const ssize_t n = write(fd, framed.data() + written, framed.size() - written);
        if (n < 0 && errno == EINTR) continue;
        // The client has gone: nothing more can reach it.
        if (n <= 0) return;
        written += static_cast<size_t>(n);
    }
}

} // namespace vellum
