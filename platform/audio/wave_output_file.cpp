// The WAV-file output: a device made of a clock and a file. Blocks wait in a
// queue as in a device's buffer; the steady clock moves the played position
// through them at the sample rate, and every frame is appended to the file
// when it has been heard. So the file holds exactly what a listener would
// have heard (a reset drops the rest at once), and the position advances as
// on a device. The header's sizes are brought up to date with every append,
// so the file stays readable if the program is ended while it plays.
//
// The file is held under an exclusive lock while open: a second output on
// the same file, from this process or another, cannot open.
#include "platform/audio/wave_header.h"
#include "platform/audio/wave_output_backends.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <vector>

namespace vellum::platform {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kHeaderBytes = kWaveHeaderBytes;
// The largest data chunk the RIFF sizes can describe.
constexpr uint64_t kMaxDataBytes = std::numeric_limits<uint32_t>::max() - (kHeaderBytes - 8);

bool WriteAt(int fd, const uint8_t* bytes, size_t count, uint64_t offset)
{
    while (count > 0) {
        const ssize_t done = ::pwrite(fd, bytes, count, static_cast<off_t>(offset));
        if (done < 0) return false;
        bytes += done;
        count -= static_cast<size_t>(done);
        offset += static_cast<uint64_t>(done);
    }
    return true;
}

class FileOutput final : public WaveOutput {
public:
    FileOutput(int fd, const WaveFormat& format, uint64_t capacity) : fd(fd), format(format), capacity(capacity) {}

    ~FileOutput() override
    {
        std::lock_guard hold(mutex);
        Record(Clock::now());
        ::close(fd); // releases the lock on the file
    }

    bool Write(std::span<const uint8_t> bytes) override
    {
        const uint64_t frames = bytes.size() / format.FrameBytes();
        std::unique_lock hold(mutex);
        Clock::time_point now = Clock::now();
        Record(now);
        if (ended) return false;
        // A device that ran dry starts again when the next block arrives.
        if (Played(now) == written) {
            anchorFrames = written;
            anchorTime = now;
        }
        const uint64_t need = std::min(frames, capacity);
        while (written + need - Played(now) > capacity) {
            woken.wait_until(hold, TimeOf(written + need - capacity));
            now = Clock::now();
            Record(now);
            if (ended) return false;
        }
        pending.insert(pending.end(), bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(frames * format.FrameBytes()));
        written += frames;
        Record(now);
        return !ended;
    }

    bool WaitPlayed(uint64_t frames) override
    {
        std::unique_lock hold(mutex);
        Clock::time_point now = Clock::now();
        Record(now);
        while (!ended && Played(now) < std::min(frames, written)) {
            woken.wait_until(hold, TimeOf(std::min(frames, written)));
            now = Clock::now();
            Record(now);
        }
        return !ended;
    }

    uint64_t PlayedFrames() override
    {
        std::lock_guard hold(mutex);
        Record(Clock::now());
        return recorded;
    }

    void Reset() override
    {
        std::lock_guard hold(mutex);
        Record(Clock::now());
        pending.clear();
        written = recorded;
        ended = true;
        woken.notify_all();
    }

private:
    // The position the clock has reached: never beyond what was written.
    uint64_t Played(Clock::time_point now) const
    {
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - anchorTime).count();
        if (elapsed <= 0) return std::min(anchorFrames, written);
        const uint64_t ns = static_cast<uint64_t>(elapsed);
        const uint64_t frames = ns / 1'000'000'000 * format.sampleRate + ns % 1'000'000'000 * format.sampleRate / 1'000'000'000;
        return std::min(anchorFrames + frames, written);
    }

    // When the clock reaches the position (rounded up, so it has been reached).
    Clock::time_point TimeOf(uint64_t position) const
    {
        const uint64_t frames = position > anchorFrames ? position - anchorFrames : 0;
        const uint64_t rate = format.sampleRate;
        const uint64_t ns = frames / rate * 1'000'000'000 + (frames % rate * 1'000'000'000 + rate - 1) / rate;
        return anchorTime + std::chrono::nanoseconds(ns);
    }

    // Appends what has been heard by now to the file.
    void Record(Clock::time_point now)
    {
        if (ended) return;
        const uint64_t heard = Played(now);
        if (heard == recorded) return;
        const size_t bytes = static_cast<size_t>((heard - recorded) * format.FrameBytes());
        const uint64_t dataBytes = recorded * format.FrameBytes();
        const bool fits = dataBytes + bytes <= kMaxDataBytes;
        if (!fits || !WriteAt(fd, pending.data(), bytes, kHeaderBytes + dataBytes)) {
            ended = true; // the file is full or cannot be written: the output has failed
            woken.notify_all();
            return;
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(bytes));
        recorded = heard;
        const auto header = WaveHeader(format, static_cast<uint32_t>(dataBytes + bytes));
        if (!WriteAt(fd, header.data(), header.size(), 0)) {
            ended = true;
            woken.notify_all();
        }
    }

    const int fd;
    const WaveFormat format;
    const uint64_t capacity; // frames the queue holds, as a device's buffer

    std::mutex mutex;
    std::condition_variable woken; // by Reset, so that waits end at once
    std::vector<uint8_t> pending;  // written, not yet heard
    uint64_t written = 0;          // frames written in all
    uint64_t recorded = 0;         // frames heard and in the file
    uint64_t anchorFrames = 0;     // the clock passed this position ...
    Clock::time_point anchorTime = Clock::now(); // ... at this time
    bool ended = false;            // reset, or the file failed
};

} // namespace

std::unique_ptr<WaveOutput> OpenFileOutput(const std::filesystem::path& file, const WaveFormat& format,
                                           uint32_t blockFrames, uint32_t blockCount)
{
    // Truncated only once the lock is held, so a recording in progress is never cut.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    const auto header = WaveHeader(format, 0);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0 ||
        !WriteAt(fd, header.data(), header.size(), 0)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileOutput>(fd, format, uint64_t{blockFrames} * blockCount);
}

} // namespace vellum::platform
