#include "host/debug_adapter/output_capture.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vellum {

namespace {

// A pipe whose write end replaces target; gives the read end.
int Redirect(int target)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    dup2(ends[1], target);
    close(ends[1]);
    return ends[0];
}

} // namespace

OutputCapture::OutputCapture(Sink sink_) : sink(std::move(sink_))
{
    std::fflush(stdout);
    std::fflush(stderr);
    protocolFd = fcntl(1, F_DUPFD_CLOEXEC, 3);
    savedStderr = fcntl(2, F_DUPFD_CLOEXEC, 3);
    out.read = Redirect(1);
    err.read = Redirect(2);
}

void OutputCapture::Start()
{
    out.thread = std::thread([this] { Capture(out.read, "stdout"); });
    err.thread = std::thread([this] { Capture(err.read, "stderr"); });
}

OutputCapture::~OutputCapture()
{
    Finish();
    if (protocolFd >= 0) close(protocolFd);
}

void OutputCapture::Capture(int fd, const char* category)
{
    char chunk[8192];
    for (;;) {
        std::unique_lock lock(delivering, std::defer_lock);
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        lock.lock();
        sink(category, std::string(chunk, static_cast<size_t>(n)));
    }
    close(fd);
}

void OutputCapture::Drain()
{
    std::fflush(stdout);
    std::fflush(stderr);
    // Until the pipes are empty and no piece is on its way to the client.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    for (const int fd : {out.read, err.read}) {
        int waiting = 0;
        while (ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    const std::lock_guard wait(delivering);
}

void OutputCapture::Finish()
{
    if (finished) return;
    finished = true;
    std::fflush(stdout);
    std::fflush(stderr);
    // The write ends go: the threads read what is left, then the end.
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    dup2(devNull, 1);
    dup2(savedStderr, 2);
    close(devNull);
    close(savedStderr);
    if (out.thread.joinable()) out.thread.join();
    if (err.thread.joinable()) err.thread.join();
}

} // namespace vellum
