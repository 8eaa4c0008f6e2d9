// vellum-measure: runs one command and reports its wall time and its peak
// resident memory, for bench/run.
//
// The runner cannot take the peak from a child of its own: a process forked
// from the Python interpreter keeps the interpreter's high-water mark across
// exec, so every program would seem to need as much memory as Python does.
// Forked from this small program, the command's peak is its own.
//
// usage: vellum-measure REPORT COMMAND [ARG...]
// writes "SECONDS PEAK_KIB" to the file REPORT and exits with the command's
// status (128 + the signal number when a signal ended it).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s REPORT COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "vellum-measure: fork: %s\n", std::strerror(errno));
        return 2;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::fprintf(stderr, "vellum-measure: cannot run %s: %s\n", argv[2], std::strerror(errno));
        _exit(127);
    }

    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::fprintf(stderr, "vellum-measure: wait: %s\n", std::strerror(errno));
            return 2;
        }
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    FILE* report = std::fopen(argv[1], "w");
    bool written = report && std::fprintf(report, "%.6f %ld\n", elapsed.count(), usage.ru_maxrss) > 0;
    if (report && std::fclose(report) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "vellum-measure: cannot write %s\n", argv[1]);
        return 2;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
