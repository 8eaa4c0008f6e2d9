// Keeps a debugged script's own output off the protocol stream: standard
// output and standard error become pipes, and whatever the run writes to
// them (message boxes and the error box in console mode, the toolkit's
// notes) reaches the client as output events.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vellum {

class OutputCapture {
public:
    // category is "stdout" or "stderr"; text is what was written, in pieces.
    using Sink = std::function<void(const char* category, const std::string& text)>;

    // Takes over descriptors 1 and 2; ProtocolFd is a copy of the original
    // standard output, for the protocol alone. Nothing reaches the sink
    // before Start.
    explicit OutputCapture(Sink sink);
    void Start();
    // Puts standard error back and ends the capture once all is delivered.
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    int ProtocolFd() const { return protocolFd; }
    // Delivers what the run has written so far, before an event that must
    // come after it (a stop, the end of the run).
    void Drain();
    // Ends the capture: everything written is delivered, then the threads end.
    void Finish();

private:
    struct Pipe {
        int read = -1;
        std::thread thread;
    };
    void Capture(int fd, const char* category);

    Sink sink;
    int protocolFd = -1;
    int savedStderr = -1;
    Pipe out, err;
    std::mutex delivering;
    bool finished = false;
};

} // namespace vellum
