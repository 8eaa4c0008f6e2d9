// A test bench for the engine: an interpreter whose natives record what
// scripts print, helpers to run a text and look at the outcome, and a
// temporary folder for test files.
#pragma once

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/interpreter_internal.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum::test {

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view text);
std::vector<uint8_t> Utf16LeBytes(std::u16string_view text);
// The string hash as scripts observe it through the iteration order.
uint32_t DocumentedHash(std::u16string_view s);

// What one run of a text left behind.
struct Outcome {
    std::string output;  // every Print and MsgBox line
    std::string error;   // the pending identifier, "errOK" when none
    std::string message; // the formatted message
    int32_t position;    // ErrorPosition()
};

// An interpreter with the natives Print(v) and MsgBox(v) (each appends
// ToString(v) and a line feed to the output), Die() and NewObjectsNum().
class ScriptHarness {
public:
    ScriptHarness();
    ~ScriptHarness();
    ScriptHarness(const ScriptHarness&) = delete;
    ScriptHarness& operator=(const ScriptHarness&) = delete;

    // Runs a UTF-8 text; the error is taken, so the next run starts clean.
    Outcome Run(std::string_view source);
    // The output of a run, followed by "!" and the identifier when it failed.
    std::string Output(std::string_view source);
    // The pending error (if any) with the output so far; clears the error.
    // Fails the test when the operand stack is not empty.
    Outcome Take();

    Interpreter ip;
    std::string output;
};

// A folder under the system's temporary directory, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // Writes UTF-16LE with the mark FF FE.
    std::filesystem::path WriteUtf16(const std::string& name, std::string_view utf8) const;
    static std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
    const std::filesystem::path& Path() const { return dir; }

private:
    std::filesystem::path dir;
};

} // namespace vellum::test
