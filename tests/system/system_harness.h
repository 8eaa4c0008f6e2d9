// An interpreter with every library over a fresh device folder, in console
// mode, for tests that drive the libraries through script statements.
#pragma once

#include "engine/core/unicode.h"
#include "host/error_box.h"
#include "host/file_bytes.h"
#include "host/temp_folder.h"
#include "host/register_libraries.h"
#include "platform/desktop/message_box.h"
#include "platform/files/device_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vellum::test {

// A file with exactly these bytes, its folders made as needed.
inline void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path, bytes);
}
inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

inline std::string ReadText(const std::filesystem::path& path) { return ReadBytes(path); }
inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    const std::string bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Polls a condition that must come true: what other threads or processes
// do shows up some time later, and a hang takes far longer than the limit.
inline bool Eventually(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class SystemHarness : public ::testing::Test {
protected:
    SystemHarness() : device(folder), ip(NewInterpreter(device, &box))
    {
        platform::SetConsoleMode(true);
        ip->RunSource(u"var result");
    }

    // Runs statements (UTF-8) that may set `result`; its quoted text, or "!"
    // and the identifier of the error the statements raised (whose message
    // is then in errorMessage).
    std::string Run(std::string_view statements)
    {
        ip->RunSource(FromUtf8(statements));
        if (ip->ErrorPending()) {
            const std::string failed = "!" + ToUtf8(ip->ErrorIdentifier());
            errorMessage = ToUtf8(ip->FormatError());
            ip->ClearError();
            return failed;
        }
        return ToUtf8(ip->ToString(ip->GetGlobal(u"result"), true, false)->Utf16());
    }
    std::string Eval(std::string_view expression) { return Run("result = " + std::string(expression)); }

    // A file in the device folder with exactly these bytes.
    void WriteBytes(const std::filesystem::path& relative, const std::vector<uint8_t>& bytes)
    {
        WriteFile(folder / relative, bytes);
    }
    std::vector<uint8_t> ReadBytes(const std::filesystem::path& relative) { return ReadFile(folder / relative); }

    // The device folder, and a folder beside it that scripts must not reach.
    const TempFolder deviceFolder, outsideFolder;
    const std::filesystem::path& folder = deviceFolder.path;
    const std::filesystem::path& outside = outsideFolder.path;
    const platform::DeviceFolder device;
    ErrorBox box;
    std::unique_ptr<Interpreter> ip;
    std::string errorMessage;
};

} // namespace vellum::test
