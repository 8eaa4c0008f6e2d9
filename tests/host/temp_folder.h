// A fresh folder under the system's temporary directory for one test,
// removed with everything in it when the test ends.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace vellum::test {

class TempFolder {
public:
    TempFolder()
    {
        path = std::filesystem::temp_directory_path() /
               ("vellum-test-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path path;

private:
    static inline int next = 0;
};

} // namespace vellum::test
