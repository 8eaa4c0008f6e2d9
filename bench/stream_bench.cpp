// The cost of streams that write through: a script appends N numbered lines
// with FileStream.AppendLine, each reaching the file before the call
// returns. The peer is C stdio with buffering switched off, writing the same
// UTF-16LE lines with one fwrite each: the least any write-through stream
// can do. The script's own loop is timed alone as well, so that the stream's
// share can be compared. Best of the runs given.
#include "engine/vm/interpreter.h"
#include "engine/core/unicode.h"
#include "host/register_libraries.h"
#include "platform/files/device_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kLines = 100000;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The script's time; with write false, the same loop builds each line but
// writes nothing, which is the script's own share.
double Ours(const fs::path& folder, bool write)
{
    const vellum::platform::DeviceFolder device(folder);
    auto ip = vellum::NewInterpreter(device, nullptr);
    const std::u16string line = write ? u"out.AppendLine('line ' & i)" : u"var s = 'line ' & i";
    const std::u16string script = u"var out = File('\\ours.txt').OpenWrite(true) var i = 0 "
                                  u"while i < " + vellum::FromUtf8(std::to_string(kLines)) + u" " + line +
                                  u" i = i + 1 end out.Close()";
    const Clock::time_point start = Clock::now();
    ip->RunSource(script);
    const double seconds = Seconds(start);
    if (ip->ErrorPending() || (write && fs::file_size(folder / "ours.txt") == 0)) {
        std::fprintf(stderr, "the script failed\n");
        std::exit(1);
    }
    return seconds;
}

double Peer(const fs::path& folder)
{
    const Clock::time_point start = Clock::now();
    std::FILE* out = std::fopen((folder / "peer.txt").c_str(), "wb");
    if (out == nullptr) std::exit(1);
    std::setvbuf(out, nullptr, _IONBF, 0);
    std::fwrite("\xFF\xFE", 1, 2, out);
    std::string bytes;
    for (int i = 0; i < kLines; ++i) {
        bytes.clear();
        for (const char c : "line " + std::to_string(i) + "\r\n") {
            bytes.push_back(c);
            bytes.push_back('\0');
        }
        std::fwrite(bytes.data(), 1, bytes.size(), out);
    }
    std::fclose(out);
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::string pattern = (fs::temp_directory_path() / "vellum-stream-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path folder = pattern;
    double loop = 1e9, ours = 1e9, peer = 1e9;
    for (int run = 0; run < runs; ++run) {
        loop = std::min(loop, Ours(folder, false));
        ours = std::min(ours, Ours(folder, true));
        peer = std::min(peer, Peer(folder));
    }
    const bool same = fs::file_size(folder / "ours.txt") == fs::file_size(folder / "peer.txt");
    fs::remove_all(folder);
    if (!same) {
        std::fprintf(stderr, "the two files differ in size\n");
        return 1;
    }
    std::printf("appending %d lines: ours %.3f s (the script's loop alone %.3f s), unbuffered stdio %.3f s\n", kLines,
                ours, loop, peer);
    std::printf("write-through stream ratio (ours less the loop, to stdio): %.2f; whole script to stdio: %.2f\n",
                (ours - loop) / peer, ours / peer);
    return 0;
}
